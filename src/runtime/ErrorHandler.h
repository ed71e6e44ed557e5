#pragma once

#include <exception>
#include <new>
#include <string>
#include <utility>

#include "runtime/Error.h"

namespace runtime {

// Where a guarded procedure shows its "Application Error" report.
class ErrorSink {
  public:
    virtual ~ErrorSink() = default;
    // Shows the finished report text modally and returns when the user has closed it.
    virtual void ShowErrorReport(const std::string& message) = 0;
};

// The address that ends every error report.
inline constexpr const char* kSupportAddress = "support@lineforge.example";

// The report text: description, CR LF, procedure path, "at line ", label, CR CR, support line.
std::string FormatErrorReport(const std::string& description, const std::string& procedurePath,
                              int label);

// The description of whatever a statement raised.
std::string DescribeCurrentException();

// One guarded procedure: each statement runs under a line label; a statement that raises is
// reported with the procedure path and its label, and the procedure goes on with the next one.
class ErrorHandler {
  public:
    // procedurePath is the fixed text shown in reports, e.g. "in
    // Linewright2021/08/31.Form1.Form_Load ".
    ErrorHandler(ErrorSink& sink, std::string procedurePath)
        : sink_(sink), path_(std::move(procedurePath)) {}

    // Runs one statement; returns true when it completed, false when it raised and was reported.
    template <class F>
    bool line(int label, F&& statement) {
        label_ = label;
        try {
            std::forward<F>(statement)();
            return true;
        } catch (...) {
            Report(DescribeCurrentException());
            return false;
        }
    }

    // Evaluates a condition; one that raises is reported and counts as true, so its branch runs.
    template <class F>
    bool cond(int label, F&& predicate) {
        label_ = label;
        try {
            return static_cast<bool>(std::forward<F>(predicate)());
        } catch (...) {
            Report(DescribeCurrentException());
            return true;
        }
    }

    // Reports a failure under the label in force without running anything.
    void Report(const std::string& description);

    // The label of the last statement started.
    int label() const noexcept { return label_; }
    // How many reports this procedure has shown.
    int failures() const noexcept { return failures_; }
    const std::string& path() const noexcept { return path_; }

  private:
    ErrorSink& sink_;
    std::string path_;
    int label_ = 0;
    int failures_ = 0;
};

// Runs a statement whose errors are ignored ("On Error Resume Next" without a report).
template <class F>
bool IgnoreErrors(F&& statement) {
    try {
        std::forward<F>(statement)();
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace runtime
