#pragma once

// Small Word packages written by tests, and ways to look into saved ones.

#include <cerrno>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "filesafe/FileLayer.h"

namespace fixtures {

inline constexpr const char* kW = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";

// One zip entry to write: name, content, and whether it is stored rather than deflated.
struct ZipItem {
    std::string name;
    std::string data;
    bool store = false;
};

// Writes a zip file with these entries in this order (throws std::runtime_error on failure).
void WriteZip(const std::string& path, const std::vector<ZipItem>& items);

// The parts of a minimal .docx whose body holds bodyXml (prefix "w"); settingsXml and stylesXml
// are the inner XML of w:settings / w:styles, and add a settings / styles part when not empty.
struct DocxSpec {
    std::string body;
    std::string settings;
    std::string styles;
    std::string documentOpen;  // the root start tag to use instead of the default (namespaces)
    std::vector<ZipItem> extra;
};
// A spec with just these parts' inner XML.
DocxSpec Spec(std::string body, std::string settings = "", std::string styles = "");
std::vector<ZipItem> DocxItems(const DocxSpec& spec);
void WriteDocx(const std::string& path, const DocxSpec& spec);

// A whole file's bytes, and writing bytes to a file.
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);

// What a saved zip holds, per entry: its compressed bytes (raw) and its inflated bytes and CRC.
struct ZipEntryData {
    std::string raw;
    std::string data;
    std::uint32_t crc = 0;
    std::uint16_t method = 0;
};
std::map<std::string, ZipEntryData> ReadZip(const std::string& path);
// Entry names in archive order.
std::vector<std::string> ZipNames(const std::string& path);

// The texts of the body's top-level paragraphs (w:t, w:tab as "\t", w:br as "\n"), and the
// texts of every paragraph in document order, tables included.
std::vector<std::string> BodyParagraphTexts(const std::string& documentXml);
std::vector<std::string> AllParagraphTexts(const std::string& documentXml);
// The texts of every paragraph of any part in document order, those of text boxes included,
// each paragraph with only the w:t text that is its own (not that of a text box inside it).
// Read with pugixml alone, by the "w" prefix the test parts use.
std::vector<std::string> PartParagraphTexts(const std::string& partXml);

// A fresh folder under /tmp, removed with everything in it at destruction.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

// A file layer that fails one step, as a full disk or an unwritable folder would.
class FailingLayer : public filesafe::FileLayer {
  public:
    enum Step { CreateTempStep, WriteStep, SyncStep, RenameStep, ChownStep, XattrStep, NoStep };
    FailingLayer(Step step, int err, size_t writeBudget = 0)
        : step_(step), err_(err), budget_(writeBudget) {}
    // From now on every step succeeds.
    void Heal() { step_ = NoStep; }
    int CreateTemp(const std::string& dir, std::string* name) override {
        if (step_ == CreateTempStep)
            return errno = err_, -1;
        return FileLayer::CreateTemp(dir, name);
    }
    ssize_t Write(int fd, const void* data, size_t len) override {
        if (step_ == WriteStep) {
            if (len > budget_) {
                FileLayer::Write(fd, data, budget_);
                budget_ = 0;
                return errno = err_, -1;
            }
            budget_ -= len;
        }
        return FileLayer::Write(fd, data, len);
    }
    int Sync(int fd) override {
        if (step_ == SyncStep)
            return errno = err_, -1;
        return FileLayer::Sync(fd);
    }
    int SyncFileSystem(int fd) override {
        if (step_ == SyncStep)
            return errno = err_, -1;
        return FileLayer::SyncFileSystem(fd);
    }
    int Rename(const std::string& from, const std::string& to) override {
        if (step_ == RenameStep)
            return errno = err_, -1;
        return FileLayer::Rename(from, to);
    }
    int Chown(int fd, uid_t uid, gid_t gid) override {
        if (step_ == ChownStep)
            return errno = err_, -1;
        return FileLayer::Chown(fd, uid, gid);
    }
    int SetXattr(int fd, const std::string& name, const std::string& value) override {
        if (step_ == XattrStep)
            return errno = err_, -1;
        return FileLayer::SetXattr(fd, name, value);
    }

  private:
    Step step_;
    int err_;
    size_t budget_;
};

// Names of the files in a folder (without "." and "..").
std::vector<std::string> FolderNames(const std::string& dir);

}  // namespace fixtures
