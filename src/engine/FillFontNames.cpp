#include "engine/FillFontNames.h"

namespace FileSize {

void FillFontNames(const word::Registry& registry,
                   const std::function<void(const QString& name)>& addItem) {
    word::Ref<word::Application> wd = registry.CreateObject("Word.Application");
    for (const std::string& name : wd->FontNames())
        addItem(QString::fromStdString(name));
    wd->Quit();
}

}  // namespace FileSize
