#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// How far a change to the renderer moves what the player sees: one run saves
// the picture of every frame of the fixed flight, a later run (another build)
// compares each of its frames with the saved one.

// Two pictures of the same size, RGB bytes.
struct PictureDifference {
    int largest = 0;             // largest difference of one colour value, 0..255
    double meanSquared = 0.0;    // over every colour value
    int64_t changedPixels = 0;   // pixels with any value different
    int64_t beyondRounding = 0;  // pixels with a value more than one level off
};

// Pictures of different sizes cannot be compared: the caller checks them.
PictureDifference comparePictures(const std::vector<uint8_t>& before,
                                  const std::vector<uint8_t>& after);

// Peak signal-to-noise ratio in dB for 8-bit values; infinity for equal
// pictures.
double peakSignalToNoise(double meanSquared);

struct ComparisonSummary {
    int framesCompared = 0;
    int framesChanged = 0;         // with any value different
    int framesBeyondRounding = 0;  // with any value more than one level off
    int framesMissing = 0;         // no saved picture of the right size
    double worstPsnr = 0.0;        // infinity while no frame differs
    int worstPsnrFrame = -1;
    int largestDifference = 0;
    int largestDifferenceFrame = -1;
    int64_t mostBeyondRounding = 0;  // pixels, in the frame with most of them
};

// Saves or compares the frame just drawn into the back buffer, read at the
// given size. Files are "frame_NNNN.rgb": the raw bytes as OpenGL returns
// them, rows bottom-up, nothing else, so a saved set is only ever compared
// at the size it was saved at.
class FramePictures {
  public:
    enum class Mode { Save, Compare };

    FramePictures(Mode mode, std::filesystem::path directory, int32_t width, int32_t height);

    // False (after printing why) when the directory cannot be used.
    bool ready() const { return usable; }

    // Reads the back buffer (needs a current context) and saves or compares
    // it as frame number `frame`.
    void take(int frame);

    // The same for pixels read already.
    void takePixels(int frame, const std::vector<uint8_t>& pixels);

    Mode getMode() const { return mode; }
    const std::filesystem::path& getDirectory() const { return directory; }
    int getFramesSaved() const { return framesSaved; }
    const ComparisonSummary& getSummary() const { return summary; }

  private:
    std::filesystem::path pathOf(int frame) const;
    void save(int frame, const std::vector<uint8_t>& pixels);
    void compare(int frame, const std::vector<uint8_t>& pixels);

    Mode mode;
    std::filesystem::path directory;
    int32_t width;
    int32_t height;
    bool usable = true;
    int framesSaved = 0;
    ComparisonSummary summary;
    // Reused every frame: the flight allocates nothing per frame.
    std::vector<uint8_t> drawn;
    std::vector<uint8_t> saved;
};
