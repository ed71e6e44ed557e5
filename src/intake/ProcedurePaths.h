#pragma once

#include <QString>

namespace intake {

// Procedure paths shown in the error reports of the intake's guarded procedures.
inline constexpr const char* kPushButton1Path = "in Linewright2021/08/31.Form1.PushButton1_Click ";
inline constexpr const char* kPushButton3Path = "in Linewright2021/08/31.Form1.PushButton3_Click ";
inline constexpr const char* kDragDropPath = "in Linewright2021/08/31.Form1.ListView1_OLEDragDrop ";
inline constexpr const char* kWalkPath = "in Brenwick2021/08/31.AddFolder.GetSubDirectories2016 ";

// Paths and names at or above this length are not descended into.
inline constexpr int kMaxPath = 260;

}  // namespace intake
