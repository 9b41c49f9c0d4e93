#pragma once

// A test design as one self-contained text (JSON): the task description of
// its N tasks and the test conditions, without the security password. The
// session journal keeps it so a test continues on the design it began with.

#include <QByteArray>

class TestDesign;

namespace DesignSnapshot {

QByteArray compose(const TestDesign &design);
// Throws Failure for a text that is not a snapshot.
TestDesign parse(const QByteArray &bytes);

} // namespace DesignSnapshot
