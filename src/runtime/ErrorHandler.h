#pragma once

#include <exception>
#include <new>
#include <string>
#include <utility>
#include <vector>

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
// The number of whatever a statement raised: a runtime::Error's own, else 0.
long CurrentErrorNumber();

// One report a guarded procedure made: where it came from and what was raised.
struct Failure {
    std::string procedurePath;
    int label = 0;
    long number = 0;  // the error's number; 0 for anything raised that is no runtime::Error
    std::string description;
};

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
            Report(DescribeCurrentException(), CurrentErrorNumber());
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
            Report(DescribeCurrentException(), CurrentErrorNumber());
            return true;
        }
    }

    // Reports a failure under the label in force without running anything.
    void Report(const std::string& description, long number = 0);

    // The label of the last statement started.
    int label() const noexcept { return label_; }
    // How many reports this procedure has shown.
    int failures() const noexcept { return static_cast<int>(reported_.size()); }
    // The reports this procedure has shown, in order.
    const std::vector<Failure>& reported() const noexcept { return reported_; }
    const std::string& path() const noexcept { return path_; }

  private:
    ErrorSink& sink_;
    std::string path_;
    int label_ = 0;
    std::vector<Failure> reported_;
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
