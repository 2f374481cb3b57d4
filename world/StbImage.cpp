// The one translation unit that compiles stb_image's decoder; everyone else
// includes <stb_image.h> for the declarations only.
#define STB_IMAGE_IMPLEMENTATION
// On Windows, names are taken as UTF-8 and opened with the wide API, so no
// letter of a folder's name is lost (elsewhere the define changes nothing).
#define STBI_WINDOWS_UTF8
#include <stb_image.h>
