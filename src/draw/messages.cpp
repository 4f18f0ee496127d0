#include "draw/messages.h"

namespace eq::text {

std::string confirmation(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines) out += line + "\n\r";
  return out + "いいですか";
}

std::string replaceTableQuestion(const std::string& path) {
  return confirmation({"現在表示データを" + path + "データに置き換えます"});
}

std::string notEruptionData(const std::string& path) {
  return "このファイルは噴火データファイルではないため、読み込みませんでした。\n" + path +
         "\n噴火データファイルは、1行に「番号,\"火山名\",年,月,日,北緯,東経」を書いたテキストファイルです。";
}

std::string unreadableDataFile(const std::string& path, const std::string& reason) {
  return "噴火データファイルを読み込めませんでした。\n" + path + "\n理由: " + reason;
}

std::string linesTooLong(const std::string& path) {
  return "行が長すぎるため、噴火データファイルを読み込めませんでした。\n" + path;
}

std::string noShiftJis(const std::string& path) {
  return "シフトJISの文字コード変換が使えないため、噴火データファイルを読み込めませんでした。\n" + path;
}

std::string saveQuestion() { return confirmation({"噴火データを保存します", "好みの名前をつけて保存して下さい"}); }

std::string unsavableName(int row, const std::string& name, NameProblem problem, const std::string& badCharacter) {
  const std::string where = std::to_string(row) + "行目の火山名「" + name + "」";
  std::string why;
  switch (problem) {
    case NameProblem::NotInCodePage:
      why = where + "には、シフトJISで保存できない文字「" + badCharacter + "」が含まれています。";
      break;
    case NameProblem::ReadsAsUtf8:
      why = where + "は、保存するとUTF-8のファイルと見分けがつかなくなり、正しく読み込み直せません。半角カナを全角にしてください。";
      break;
    case NameProblem::NotReadBack:
    case NameProblem::None:
      why = where + "は、改行を含むため、読み込み直せる形で保存できません。";
      break;
  }
  return why + "\n保存を中止しました（ファイルは書き込まれていません）。";
}

std::string backgroundQuestion(bool show) {
  return confirmation({show ? "背景地図を表示します" : "背景地図を表示しません"});
}

std::vector<std::string> crossingListHeader() { return {"行", "火山名", "行", "火山名", "北緯", "東経", "支持数", "図の上"}; }

std::string circlesLeftOut(const std::vector<int>& rows) {
  std::string list;
  for (const int row : rows) list += (list.empty() ? "" : "・") + std::to_string(row);
  return "地図データを保存しました。ただし、" + list + "行目の円は極や投影の端を越えるため地球上の図形に表せず、ファイルに含めていません。";
}

}  // namespace eq::text
