#pragma once
// The texts of the program's message boxes and prompts, in UTF-8: the desktop window
// and the browser page show these same words. Questions put their lines each followed
// by a line feed and a carriage return, then "いいですか".

#include "datafile/record_format.h"

#include <string>
#include <vector>

namespace eq::text {

inline constexpr const char* kCaption = "メッセージ";
inline constexpr const char* kNoPredictionDate = "予測年データが未入力です";
inline constexpr const char* kTitlePrompt = "入力してください\r\n(不要ならキャンセル)";
inline constexpr const char* kOpenDialogTitle = "噴火データファイルを選択してください";
inline constexpr const char* kNothingToExport = "地図データにする円がありません。先に描画してください。";
inline constexpr const char* kNoClipboard = "クリップボードにコピーできませんでした。";

std::string confirmation(const std::vector<std::string>& lines);

// Open: the question before the table is replaced, and why a file is not loaded.
std::string replaceTableQuestion(const std::string& path);
std::string notEruptionData(const std::string& path);
std::string unreadableDataFile(const std::string& path, const std::string& reason);
std::string linesTooLong(const std::string& path);
std::string noShiftJis(const std::string& path);

// Save: the question, and why a row's name cannot be saved.
std::string saveQuestion();
std::string unsavableName(int row, const std::string& name, NameProblem problem, const std::string& badCharacter);

// Command7 and Command8.
std::string backgroundQuestion(bool show);

// The crossing list's column headings.
std::vector<std::string> crossingListHeader();
// Map data written without the circles of `rows`, which cannot be shapes on the globe.
std::string circlesLeftOut(const std::vector<int>& rows);

}  // namespace eq::text
