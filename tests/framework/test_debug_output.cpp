#include <string>

#include <gtest/gtest.h>

#include "framework/DebugOutput.h"

namespace {

using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStdout;

std::string sourceOf(GLenum source) {
    const std::string line =
        formatDebugMessage(source, GL_DEBUG_TYPE_ERROR, 1, GL_DEBUG_SEVERITY_HIGH, "m");
    const size_t begin = line.find("Source = ") + 9;
    return line.substr(begin, line.find(", Type") - begin);
}

std::string typeOf(GLenum type) {
    const std::string line =
        formatDebugMessage(GL_DEBUG_SOURCE_API, type, 1, GL_DEBUG_SEVERITY_HIGH, "m");
    const size_t begin = line.find("Type = ") + 7;
    return line.substr(begin, line.find(", Severity") - begin);
}

std::string severityOf(GLenum severity) {
    const std::string line =
        formatDebugMessage(GL_DEBUG_SOURCE_API, GL_DEBUG_TYPE_ERROR, 1, severity, "m");
    const size_t begin = line.find("Severity = ") + 11;
    return line.substr(begin, line.find(", ID") - begin);
}

TEST(DebugOutputTest, FullLineLayout) {
    EXPECT_EQ(formatDebugMessage(GL_DEBUG_SOURCE_SHADER_COMPILER, GL_DEBUG_TYPE_OTHER, 7,
                                 GL_DEBUG_SEVERITY_LOW, "shader note"),
              "OpenGL Error: shader note [Source = Shader Compiler, Type = Other, Severity = Low, "
              "ID = 7]");
}

TEST(DebugOutputTest, IdIsUnsignedDecimal) {
    EXPECT_NE(formatDebugMessage(GL_DEBUG_SOURCE_API, GL_DEBUG_TYPE_ERROR, 4294967295u,
                                 GL_DEBUG_SEVERITY_HIGH, "x")
                  .find("ID = 4294967295]"),
              std::string::npos);
}

TEST(DebugOutputTest, SourceNamesIncludingOlderAmdCategories) {
    EXPECT_EQ(sourceOf(GL_DEBUG_SOURCE_API), "API");
    EXPECT_EQ(sourceOf(0x9149), "API");
    EXPECT_EQ(sourceOf(GL_DEBUG_SOURCE_WINDOW_SYSTEM), "Window System");
    EXPECT_EQ(sourceOf(0x914A), "Window System");
    EXPECT_EQ(sourceOf(GL_DEBUG_SOURCE_SHADER_COMPILER), "Shader Compiler");
    EXPECT_EQ(sourceOf(0x914E), "Shader Compiler");
    EXPECT_EQ(sourceOf(GL_DEBUG_SOURCE_THIRD_PARTY), "Third Party");
    EXPECT_EQ(sourceOf(GL_DEBUG_SOURCE_APPLICATION), "Application");
    EXPECT_EQ(sourceOf(0x914F), "Application");
    EXPECT_EQ(sourceOf(GL_DEBUG_SOURCE_OTHER), "Other");
    EXPECT_EQ(sourceOf(0x9150), "Other");
    EXPECT_EQ(sourceOf(0x1234), "Unknown");
}

TEST(DebugOutputTest, TypeNamesIncludingOlderAmdCategories) {
    EXPECT_EQ(typeOf(GL_DEBUG_TYPE_ERROR), "Error");
    EXPECT_EQ(typeOf(GL_DEBUG_TYPE_DEPRECATED_BEHAVIOR), "Deprecated Behavior");
    EXPECT_EQ(typeOf(0x914B), "Deprecated Behavior");
    EXPECT_EQ(typeOf(GL_DEBUG_TYPE_UNDEFINED_BEHAVIOR), "Undefined Behavior");
    EXPECT_EQ(typeOf(0x914C), "Undefined Behavior");
    EXPECT_EQ(typeOf(GL_DEBUG_TYPE_PORTABILITY), "Portability");
    EXPECT_EQ(typeOf(GL_DEBUG_TYPE_PERFORMANCE), "Performance");
    EXPECT_EQ(typeOf(0x914D), "Performance");
    EXPECT_EQ(typeOf(GL_DEBUG_TYPE_OTHER), "Other");
    EXPECT_EQ(typeOf(0x9150), "Other");
    EXPECT_EQ(typeOf(GL_DEBUG_TYPE_MARKER), "Unknown");
    EXPECT_EQ(typeOf(GL_DEBUG_TYPE_PUSH_GROUP), "Unknown");
    EXPECT_EQ(typeOf(GL_DEBUG_TYPE_POP_GROUP), "Unknown");
}

TEST(DebugOutputTest, SeverityNamesWithNotificationUnknown) {
    EXPECT_EQ(severityOf(GL_DEBUG_SEVERITY_HIGH), "High");
    EXPECT_EQ(severityOf(GL_DEBUG_SEVERITY_MEDIUM), "Medium");
    EXPECT_EQ(severityOf(GL_DEBUG_SEVERITY_LOW), "Low");
    EXPECT_EQ(severityOf(GL_DEBUG_SEVERITY_NOTIFICATION), "Unknown");
}

TEST(DebugOutputTest, CallbackPrintsEveryMessageAsOneLine) {
    CaptureStdout();
    debugCallback(GL_DEBUG_SOURCE_APPLICATION, GL_DEBUG_TYPE_OTHER, 42,
                  GL_DEBUG_SEVERITY_NOTIFICATION, -1, "hello", nullptr);
    EXPECT_EQ(GetCapturedStdout(),
              "OpenGL Error: hello [Source = Application, Type = Other, Severity = Unknown, "
              "ID = 42]\n");
}

TEST(DebugOutputTest, TwoDriverIdsAreDroppedWhateverTheirKind) {
    CaptureStdout();
    for (GLuint id : {131185u, 131218u}) {
        debugCallback(GL_DEBUG_SOURCE_API, GL_DEBUG_TYPE_ERROR, id, GL_DEBUG_SEVERITY_HIGH, 3,
                      "dropped", nullptr);
        debugCallback(GL_DEBUG_SOURCE_OTHER, GL_DEBUG_TYPE_PERFORMANCE, id,
                      GL_DEBUG_SEVERITY_NOTIFICATION, 3, "dropped", nullptr);
    }
    debugCallback(GL_DEBUG_SOURCE_API, GL_DEBUG_TYPE_ERROR, 131186u, GL_DEBUG_SEVERITY_HIGH, 4,
                  "kept", nullptr);
    const std::string output = GetCapturedStdout();
    EXPECT_EQ(output.find("dropped"), std::string::npos);
    EXPECT_NE(output.find("kept"), std::string::npos);
}

}  // namespace
