#include "world/JpegTables.h"

#include <array>
#include <cstddef>

namespace {

constexpr int kNoMarker = 0xFF;

bool isFrameStart(int marker) {
    return marker == 0xC0 || marker == 0xC1 || marker == 0xC2;
}
bool isRestart(int marker) {
    return marker >= 0xD0 && marker <= 0xD7;
}

// The bytes as the library reads them: zeros past the end.
class Reader {
  public:
    explicit Reader(const std::vector<unsigned char>& bytes) : bytes(bytes) {}

    bool atEnd() const { return position >= bytes.size(); }
    int byte() { return position < bytes.size() ? bytes[position++] : (++position, 0); }
    int word() {
        const int high = byte();
        return (high << 8) | byte();
    }
    void skip(std::size_t count) { position += count; }

    // A marker where one is expected: 0xFF, fill bytes, the code; anything
    // else consumes one byte and is no marker.
    int marker() {
        if (byte() != 0xFF) {
            return kNoMarker;
        }
        int code = 0xFF;
        while (code == 0xFF && !atEnd()) {
            code = byte();
        }
        return code;
    }

    // The marker that ends entropy-coded data: stuffed 0xFF 0x00 pairs and
    // restart markers belong to the scan. kNoMarker at the end of the file.
    int markerAfterScan() {
        while (!atEnd()) {
            if (byte() != 0xFF) {
                continue;
            }
            int code = 0xFF;
            while (code == 0xFF && !atEnd()) {
                code = byte();
            }
            if (code != 0x00 && code != 0xFF && !isRestart(code)) {
                return code;
            }
        }
        return kNoMarker;
    }

  private:
    const std::vector<unsigned char>& bytes;
    std::size_t position = 0;
};

struct Frame {
    bool progressive = false;
    int componentCount = 0;
    std::array<int, 4> ids{};
    std::array<int, 4> quantTables{};
};

struct Tables {
    std::array<bool, 4> dc{};
    std::array<bool, 4> ac{};
    std::array<bool, 4> quant{};
};

// Each reader returns false where the library stops with an error.
bool readHuffmanTables(Reader& in, Tables& tables) {
    int left = in.word() - 2;
    while (left > 0) {
        const int which = in.byte();
        const int kind = which >> 4;
        const int slot = which & 15;
        if (kind > 1 || slot > 3) {
            return false;
        }
        int codes = 0;
        for (int i = 0; i < 16; ++i) {
            codes += in.byte();
        }
        in.skip(static_cast<std::size_t>(codes));
        (kind == 0 ? tables.dc : tables.ac)[slot] = true;
        left -= 17 + codes;
    }
    return left == 0;
}

bool readQuantTables(Reader& in, Tables& tables) {
    int left = in.word() - 2;
    while (left > 0) {
        const int which = in.byte();
        const int precision = which >> 4;
        const int slot = which & 15;
        if (precision > 1 || slot > 3) {
            return false;
        }
        in.skip(precision == 1 ? 128 : 64);
        tables.quant[slot] = true;
        left -= precision == 1 ? 129 : 65;
    }
    return left == 0;
}

bool readFrame(Reader& in, int marker, Frame& frame) {
    frame.progressive = marker == 0xC2;
    const int length = in.word();
    in.skip(5);  // precision, height, width
    frame.componentCount = in.byte();
    if (frame.componentCount < 1 || frame.componentCount > 4 ||
        length != 8 + 3 * frame.componentCount) {
        return false;
    }
    for (int i = 0; i < frame.componentCount; ++i) {
        frame.ids[i] = in.byte();
        in.byte();  // sampling factors
        frame.quantTables[i] = in.byte();
        if (frame.quantTables[i] > 3) {
            return false;
        }
    }
    return true;
}

// Any other segment the library accepts; false for one it refuses.
bool skipSegment(Reader& in, int marker) {
    const bool known =
        marker == 0xDD || marker == 0xDC || marker == 0xFE || (marker >= 0xE0 && marker <= 0xEF);
    if (!known) {
        return false;
    }
    const int length = in.word();
    if (length < 2) {
        return false;
    }
    in.skip(static_cast<std::size_t>(length - 2));
    return true;
}

enum class Scan { Sound, Refused, Unsafe };

Scan checkScan(Reader& in, const Frame& frame, const Tables& tables) {
    const int length = in.word();
    const int count = in.byte();
    if (count < 1 || count > 4 || count > frame.componentCount || length != 6 + 2 * count) {
        return Scan::Refused;
    }
    std::array<int, 4> component{};
    std::array<int, 4> dc{};
    std::array<int, 4> ac{};
    for (int i = 0; i < count; ++i) {
        const int id = in.byte();
        const int which = in.byte();
        int found = 0;
        while (found < frame.componentCount && frame.ids[found] != id) {
            ++found;
        }
        dc[i] = which >> 4;
        ac[i] = which & 15;
        if (found == frame.componentCount || dc[i] > 3 || ac[i] > 3) {
            return Scan::Refused;
        }
        component[i] = found;
    }
    const int spectralStart = in.byte();
    const int spectralEnd = in.byte();
    in.byte();  // successive approximation
    // A progressive scan reads the DC table or the AC tables, never both.
    const bool usesDc = !frame.progressive || spectralStart == 0;
    const bool usesAc = !frame.progressive || spectralEnd > 0;
    for (int i = 0; i < count; ++i) {
        if ((usesDc && !tables.dc[dc[i]]) || (usesAc && !tables.ac[ac[i]]) ||
            !tables.quant[frame.quantTables[component[i]]]) {
            return Scan::Unsafe;
        }
    }
    return Scan::Sound;
}

}  // namespace

bool jpegScansUseDefinedTables(const std::vector<unsigned char>& bytes) {
    Reader in(bytes);
    if (in.marker() != 0xD8) {
        return true;  // not a JPEG to the library
    }
    Tables tables;
    Frame frame;
    // Up to the frame header, bytes that are no marker are passed over.
    int marker = in.marker();
    while (!isFrameStart(marker)) {
        if (marker == kNoMarker) {
            if (in.atEnd()) {
                return true;
            }
        } else if (marker == 0xC4   ? !readHuffmanTables(in, tables)
                   : marker == 0xDB ? !readQuantTables(in, tables)
                                    : !skipSegment(in, marker)) {
            return true;
        }
        marker = in.marker();
    }
    if (!readFrame(in, marker, frame)) {
        return true;
    }
    // From there on every segment is needed, up to the end of the picture.
    marker = in.marker();
    while (marker != 0xD9) {
        if (marker == 0xDA) {
            switch (checkScan(in, frame, tables)) {
                case Scan::Unsafe:
                    return false;
                case Scan::Refused:
                    return true;
                case Scan::Sound:
                    break;
            }
            // The marker that ends the scan's data is the next segment's.
            marker = in.markerAfterScan();
            continue;
        }
        bool read = false;
        if (marker == 0xC4) {
            read = readHuffmanTables(in, tables);
        } else if (marker == 0xDB) {
            read = readQuantTables(in, tables);
        } else if (marker != kNoMarker) {
            read = skipSegment(in, marker);
        }
        if (!read) {
            return true;
        }
        marker = in.marker();
    }
    return true;
}
