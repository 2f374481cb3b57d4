// The two files the game writes for the player and reads back: the best
// runs' text and the ghost flight's binary. Whatever the bytes, reading
// never goes past them, and what is accepted comes back the same when it is
// written and read again.

#include <cstdint>
#include <string_view>

#include "world/BestRuns.h"
#include "world/GhostFlight.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    if (const auto runs = parseBestRuns(bytes)) {
        const auto again = parseBestRuns(formatBestRuns(*runs));
        if (!again || again->size() != runs->size() || again->size() > BestRuns::kKept) {
            __builtin_trap();
        }
        for (size_t i = 0; i < runs->size(); ++i) {
            const RunRecord& a = (*runs)[i];
            const RunRecord& b = (*again)[i];
            if (a.points != b.points || a.tenthsLeft != b.tenthsLeft || a.date != b.date) {
                __builtin_trap();
            }
        }
    }

    if (const auto flight = GhostFlight::decode(bytes)) {
        const auto again = GhostFlight::decode(flight->encode());
        if (!again || again->samples().size() != flight->samples().size() ||
            flight->samples().size() > GhostFlight::kMaxSamples) {
            __builtin_trap();
        }
        for (size_t i = 0; i < flight->samples().size(); ++i) {
            if (again->samples()[i].position != flight->samples()[i].position) {
                __builtin_trap();
            }
        }
    }
    return 0;
}
