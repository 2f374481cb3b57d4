// The one translation unit that compiles stb_image's decoder; everyone else
// includes <stb_image.h> for the declarations only.
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>
