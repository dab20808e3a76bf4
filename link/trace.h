#pragma once
// The step trace: lines beginning with "==>" that the link and the
// workflows write.  With a non-zero switch a line is appended to the file at
// `path` as UTF-16LE with CR LF; every caller in the program passes 0.  A
// process-wide observer (tests) sees every line whatever the switch.
#include <functional>
#include <string_view>

namespace refloq::link {

void AppendTraceLine(std::string_view line, std::string_view path,
                     int trace_switch);

using TraceObserver = std::function<void(std::string_view line)>;
// Sets the observer (empty to remove).  Thread-safe; the observer may be
// called from several threads at once.
void SetTraceObserver(TraceObserver observer);

}  // namespace refloq::link
