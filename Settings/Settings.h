// The settings file shared by the screensaver and the settings tool: its name,
// sections, keys, and the defaults each reader uses when a key or the whole
// file is missing.
#pragma once

#include <cstddef>

#include "Platform/Win32/Win32Extensions.h"

namespace vantel_settings {

// Passed bare to the profile functions, which resolve it to the one place
// both programs share, whatever their working directory: kProfileFolder,
// which each program names at start-up, under the user's configuration
// directory.
inline constexpr char kIniFileName[] = "Vantel.ini";
// The programs' folder, under the configuration directory for the settings
// and under the data directory for the texture the tool writes there.
inline constexpr char kProfileFolder[] = "vantel";

// The texture bitmap "設定確定" writes, and the one the screensaver looks for
// when the settings name none.
inline constexpr char kTextureFileName[] = "123.bmp";

inline constexpr char kSaverSection[] = "SS_SECTION";  // holds kSpeedKey
inline constexpr char kSettingSection[] = "SETTING";   // holds the other keys

// How long a program reading the settings and the texture they name waits
// for a save of the tool under way (Win32BeginProfileRead) before it reads
// without waiting: a save takes milliseconds, and nothing may hang a start.
inline constexpr unsigned kReadWaitMilliseconds = 1000;

// Degrees the box turns per frame; the tool's slider position.
inline constexpr char kSpeedKey[] = "SPEED";
// Path of the texture bitmap.
inline constexpr char kFileNameKey[] = "FILENAME";
// The tool's pen colour as signed decimal text of 0x00BBGGRR.
inline constexpr char kColorKey[] = "COLOR";
// The directory the tool's file dialogs open in.
inline constexpr char kDirKey[] = "DIR";

// The screensaver reads SPEED as an integer and FILENAME into a buffer of
// kSaverFileNameBufferSize bytes (at most 255 bytes of the value), so the
// tool writes no longer FILENAME.
inline constexpr int kSaverDefaultSpeed = 5;
inline constexpr const char* kSaverDefaultFileName = kTextureFileName;
inline constexpr std::size_t kSaverFileNameBufferSize = 256;

// The tool reads every key as text of at most kToolBufferSize - 1
// characters (UTF-16 units, as its own text counts them), through buffers of
// kToolReadBytes bytes, which hold that many characters of any kind, and
// converts SPEED and COLOR itself.
inline constexpr char kToolDefaultFileName[] = "";
inline constexpr char kToolDefaultSpeed[] = "5";
inline constexpr char kToolDefaultColor[] = "255";
inline constexpr char kToolDefaultDir[] = "C:\\";
inline constexpr std::size_t kToolBufferSize = 1024;
inline constexpr std::size_t kToolReadBytes = (kToolBufferSize - 1) * 4 + 1;

}  // namespace vantel_settings
