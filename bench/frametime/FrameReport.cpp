#include "FrameReport.h"

#include <cmath>
#include <cstdio>
#include <iomanip>
#include <iostream>
#include <ostream>
#include <sstream>
#include <string>

FlightSummary summariseFlight(const HarnessResults& results) {
    std::vector<double> total, update, updateCpu, render, renderCpu, present, floor, floorCpu;
    for (const FrameSample& frame : results.frames) {
        // Flying frames only: the Playing state (2).
        if (frame.state != 2) {
            continue;
        }
        total.push_back(frame.total);
        update.push_back(frame.update);
        updateCpu.push_back(frame.updateCpu);
        render.push_back(frame.render);
        renderCpu.push_back(frame.renderCpu);
        present.push_back(frame.present);
        floor.push_back(frame.floor);
        floorCpu.push_back(frame.floorCpu);
    }
    FlightSummary summary;
    summary.total = summarise(total);
    summary.update = summarise(update);
    summary.updateCpu = summarise(updateCpu);
    summary.render = summarise(render);
    summary.renderCpu = summarise(renderCpu);
    summary.present = summarise(present);
    summary.floor = summarise(floor);
    summary.floorCpu = summarise(floorCpu);
    if (summary.floor.median > 0.0) {
        summary.floorRatio = summary.total.median / summary.floor.median;
    }
    if (summary.total.median > 0.0) {
        summary.medianFps = 1000.0 / summary.total.median;
    }
    return summary;
}

namespace {

void jsonSummary(std::ostream& out, const char* name, const TimeSummary& s, bool last = false) {
    out << "    \"" << name << "\": {\"count\": " << s.count << ", \"mean\": " << s.mean
        << ", \"median\": " << s.median << ", \"p95\": " << s.p95 << ", \"p99\": " << s.p99
        << ", \"max\": " << s.max << "}" << (last ? "\n" : ",\n");
}

template <typename T>
void jsonArray(std::ostream& out, const std::vector<T>& values) {
    out << "[";
    for (size_t i = 0; i < values.size(); ++i) {
        out << (i == 0 ? "" : ", ") << values[i];
    }
    out << "]";
}

// One figure of every part as a JSON object; parts that were not measured
// for it (a negative value, where only some are) are left out.
void jsonCosts(std::ostream& out, const char* name, const std::vector<DrawCost>& costs,
               double DrawCost::*figure, bool measuredOnly, bool last = false) {
    out << "  \"" << name << "\": {";
    bool first = true;
    for (const DrawCost& cost : costs) {
        if (measuredOnly && cost.*figure < 0.0) {
            continue;
        }
        out << (first ? "" : ", ") << "\"" << cost.part << "\": " << cost.*figure;
        first = false;
    }
    out << (last ? "}\n" : "},\n");
}

// JSON has no infinity: equal pictures give null.
std::string jsonNumber(double value) {
    if (!std::isfinite(value)) {
        return "null";
    }
    std::ostringstream text;
    text << std::setprecision(6) << value;
    return text.str();
}

void jsonPictures(std::ostream& out, const FramePicturesReport& p) {
    const ComparisonSummary& c = p.summary;
    const bool saved = p.mode == FramePictures::Mode::Save;
    out << "  \"framePictures\": {\"action\": \"" << (saved ? "saved" : "compared")
        << "\", \"framesSaved\": " << p.framesSaved << ", \"framesCompared\": " << c.framesCompared
        << ", \"framesMissing\": " << c.framesMissing << ", \"framesChanged\": " << c.framesChanged
        << ", \"framesBeyondRounding\": " << c.framesBeyondRounding
        << ", \"worstPsnr\": " << jsonNumber(c.worstPsnr)
        << ", \"worstPsnrFrame\": " << c.worstPsnrFrame
        << ", \"largestDifference\": " << c.largestDifference
        << ", \"largestDifferenceFrame\": " << c.largestDifferenceFrame
        << ", \"mostPixelsBeyondRounding\": " << c.mostBeyondRounding << "},\n";
}

void printPictures(std::ostream& out, const FramePicturesReport& p) {
    const ComparisonSummary& c = p.summary;
    if (p.mode == FramePictures::Mode::Save) {
        out << "  pictures: " << p.framesSaved << " frames saved to " << p.directory << "\n";
        return;
    }
    out << "  pictures: " << c.framesCompared << " frames compared with " << p.directory;
    if (c.framesMissing > 0) {
        out << ", " << c.framesMissing << " MISSING";
    }
    out << "; " << c.framesChanged << " changed, " << c.framesBeyondRounding
        << " beyond rounding (a value more than 1 off)\n";
    if (c.framesChanged == 0) {
        out << "    every frame identical\n";
        return;
    }
    out << std::setprecision(2) << "    worst PSNR " << c.worstPsnr << " dB (frame "
        << c.worstPsnrFrame << "), largest difference " << c.largestDifference << " (frame "
        << c.largestDifferenceFrame << "), at most " << c.mostBeyondRounding
        << " pixels beyond rounding in a frame\n";
}

void tableRow(std::ostream& out, const char* name, const TimeSummary& s) {
    out << "  " << std::left << std::setw(16) << name << std::right << std::fixed
        << std::setprecision(3) << std::setw(10) << s.mean << std::setw(10) << s.median
        << std::setw(10) << s.p95 << std::setw(10) << s.p99 << "\n";
}

}  // namespace

void writeJson(std::ostream& out, const HarnessResults& r, const FlightSummary& s) {
    out << std::setprecision(6);
    out << "{\n";
    out << "  \"width\": " << r.width << ",\n  \"height\": " << r.height << ",\n";
    out << "  \"frameSeconds\": " << r.frameSeconds << ",\n";
    out << "  \"renderer\": \"" << r.renderer << "\",\n";
    out << "  \"software_path\": " << (r.softwarePath ? "true" : "false") << ",\n";
    out << "  \"bloom_scale\": " << r.bloomScale << ",\n";
    out << "  \"loadAverage\": {\"start\": " << r.loadAverageStart
        << ", \"end\": " << r.loadAverageEnd << "},\n";
    out << "  \"startToFirstFrameMs\": " << r.startToFirstFrameMs << ",\n";
    out << "  \"assemblyMs\": " << r.assemblyMs << ",\n";
    out << "  \"residentAtStartMb\": " << r.residentAtStartMb << ",\n";
    out << "  \"residentAfterAssemblyMb\": " << r.residentAfterAssemblyMb << ",\n";
    out << "  \"flyingFrames\": {\n";
    jsonSummary(out, "frame", s.total);
    jsonSummary(out, "update", s.update);
    jsonSummary(out, "updateCpu", s.updateCpu);
    jsonSummary(out, "render", s.render);
    jsonSummary(out, "renderCpu", s.renderCpu);
    jsonSummary(out, "present", s.present);
    jsonSummary(out, "floor", s.floor);
    jsonSummary(out, "floorCpu", s.floorCpu, true);
    out << "  },\n";
    out << "  \"medianFps\": " << s.medianFps << ",\n";
    out << "  \"floorRatio\": " << s.floorRatio << ",\n";
    out << "  \"restartMs\": ";
    jsonArray(out, r.restartMs);
    out << ",\n  \"residentAfterRestartMb\": ";
    jsonArray(out, r.residentAfterRestartMb);
    out << ",\n  \"residentAfterFlightMb\": " << r.residentAfterFlightMb << ",\n";
    out << "  \"peakResidentMb\": " << r.peakResidentMb << ",\n";
    out << "  \"outcome\": \"" << r.outcome << "\",\n  \"score\": " << r.score << ",\n";
    out << "  \"flyingFrameCount\": " << r.flyingFrames << ",\n";
    if (r.pictures) {
        jsonPictures(out, *r.pictures);
    }
    jsonCosts(out, "drawCostsMs", r.drawCosts, &DrawCost::milliseconds, false);
    jsonCosts(out, "floorCostsMs", r.drawCosts, &DrawCost::floorMilliseconds, true);
    jsonCosts(out, "fragmentScreens", r.drawCosts, &DrawCost::screens, true);
    jsonCosts(out, "mainThreadCostsMs", r.drawCosts, &DrawCost::mainThreadMilliseconds, false,
              true);
    out << "}\n";
}

void printTable(std::ostream& out, const HarnessResults& r, const FlightSummary& s) {
    out << "Frame times at " << r.width << "x" << r.height << ", fixed step " << r.frameSeconds
        << " s, " << r.renderer << (r.softwarePath ? ", software path" : ", full path")
        << ", glow at 1/" << r.bloomScale << ", load average " << r.loadAverageStart << " -> "
        << r.loadAverageEnd << "\n";
    out << "  flying frames (ms)     mean    median       p95       p99\n";
    tableRow(out, "frame", s.total);
    tableRow(out, "  update", s.update);
    tableRow(out, "  update (cpu)", s.updateCpu);
    tableRow(out, "  render", s.render);
    tableRow(out, "  render (cpu)", s.renderCpu);
    tableRow(out, "  present", s.present);
    tableRow(out, "floor", s.floor);
    tableRow(out, "  floor (cpu)", s.floorCpu);
    out << std::setprecision(2);
    out << "  median " << s.medianFps << " fps, frame / floor " << s.floorRatio << "\n";
    out << "  start to first frame " << r.startToFirstFrameMs << " ms (level assembly "
        << r.assemblyMs << " ms)\n";
    out << "  restarts (ms):";
    for (double ms : r.restartMs) {
        out << " " << ms;
    }
    out << "\n  resident (MB): context " << r.residentAtStartMb << ", level built "
        << r.residentAfterAssemblyMb << ", after flight " << r.residentAfterFlightMb
        << ", after restarts:";
    for (double mb : r.residentAfterRestartMb) {
        out << " " << mb;
    }
    out << "\n  peak resident " << r.peakResidentMb << " MB\n";
    out << "  outcome " << r.outcome << " after " << r.flyingFrames << " flying frames, score "
        << r.score << "\n";
    if (!r.drawCosts.empty()) {
        out << "  render cost of each part (cpu ms):";
        for (const DrawCost& cost : r.drawCosts) {
            out << " " << cost.part << " " << std::setprecision(2) << cost.milliseconds;
            if (cost.floorMilliseconds >= 0.0) {
                out << " (floor " << cost.floorMilliseconds << ")";
            }
            if (cost.screens >= 0.0) {
                out << " [" << cost.screens << " screens]";
            }
            out << " {main " << cost.mainThreadMilliseconds << "}";
            out << ";";
        }
        out << "\n";
    }
    if (r.pictures) {
        out << std::fixed;
        printPictures(out, *r.pictures);
    }
    out.unsetf(std::ios::floatfield);
}

bool writePlot(const std::string& pngPath, const HarnessResults& r) {
    FILE* gnuplot = popen("gnuplot", "w");
    if (gnuplot == nullptr) {
        std::cerr << "Could not run gnuplot; no plot written" << std::endl;
        return false;
    }
    std::fprintf(gnuplot,
                 "set terminal pngcairo size 960,480 font 'DejaVu Sans,10'\n"
                 "set output '%s'\n"
                 "set title 'VELTRA frame times, %dx%d, %s'\n"
                 "set xlabel 'frame'\nset ylabel 'milliseconds'\n"
                 "set key top left\nset grid\nset yrange [0:*]\n"
                 "plot '-' using 1:2 with lines lw 1.5 title 'frame', "
                 "'-' using 1:2 with lines title 'render (glFinish)', "
                 "'-' using 1:2 with lines title 'update', "
                 "'-' using 1:2 with lines dt 2 title 'floor (6 pass-through passes)'\n",
                 pngPath.c_str(), r.width, r.height, r.renderer.c_str());
    const double FrameSample::*columns[] = {&FrameSample::total, &FrameSample::render,
                                            &FrameSample::update, &FrameSample::floor};
    for (const auto column : columns) {
        for (const FrameSample& frame : r.frames) {
            std::fprintf(gnuplot, "%d %f\n", frame.index, frame.*column);
        }
        std::fprintf(gnuplot, "e\n");
    }
    return pclose(gnuplot) == 0;
}
