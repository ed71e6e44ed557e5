#include "runtime/ErrorHandler.h"

namespace runtime {

std::string FormatErrorReport(const std::string& description, const std::string& procedurePath,
                              int label) {
    std::string text = description;
    text += "\r\n";
    text += procedurePath;
    text += "at line ";
    text += std::to_string(label);
    text += "\r\r";
    text += "Please email screenshot of this message to ";
    text += kSupportAddress;
    return text;
}

std::string DescribeCurrentException() {
    try {
        throw;
    } catch (const Error& e) {
        return e.Description();
    } catch (const std::bad_alloc&) {
        return "Out of memory";
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "Unexpected error";
    }
}

long CurrentErrorNumber() {
    try {
        throw;
    } catch (const Error& e) {
        return e.Number();
    } catch (...) {
        return 0;
    }
}

void ErrorHandler::Report(const std::string& description, long number) {
    reported_.push_back({path_, label_, number, description});
    sink_.ShowErrorReport(FormatErrorReport(description, path_, label_));
}

}  // namespace runtime
