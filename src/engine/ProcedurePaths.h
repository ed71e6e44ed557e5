#pragma once

namespace engine {

// Procedure paths shown in the error reports of the guarded procedures of this layer.
inline constexpr const char* kPathInsertAtBeginning =
    "in Linewright2021/08/31.AddRemove.InsertTextAtBeginningInFile ";
inline constexpr const char* kPathInsertAtLast =
    "in Linewright2021/08/31.AddRemove.InsertTextAtLastInFile ";
inline constexpr const char* kPathReplaceByFileXY =
    "in Linewright2021/08/31.AddRemove.ReplaceByFileXY ";
inline constexpr const char* kPathPushButton2Click =
    "in Linewright2021/08/31.Form1.PushButton2_Click ";

}  // namespace engine
