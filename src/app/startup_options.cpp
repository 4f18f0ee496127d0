#include "app/startup_options.h"

#include "platform/command_line.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace eq {
namespace {

const char kHelp[] =
    "使い方: eqcircle [--help | --version | DATAFILE]\n"
    "        eqcircle render DATAFILE --date Y-M-D [オプション] --out FILE\n"
    "        eqcircle hindcast DATAFILE --quakes FILE [オプション] --out REPORT\n"
    "\n"
    "地震サークル: 火山の噴火記録 (最大10件) と地震予測年月日から、噴火からの経過年数で\n"
    "決まる半径の地震サークルを北緯20〜50度・東経110〜160度の地図に描きます。\n"
    "引数なしで起動するとウィンドウを開きます (グラフィカルな環境が必要です)。\n"
    "噴火データファイルを指定すると、開く前に確認してから読み込みます。\n"
    "\n"
    "  render        画面なしで地図を描き、PNG・PDF・SVG・JSON・GeoJSON・KML に書き出す\n"
    "                (日付の範囲ならコマごとのファイルかアニメーション WebP)\n"
    "                (オプションの説明: eqcircle render --help)\n"
    "  hindcast      地震カタログの地震ごとにその日付で円を描き、震央で円の線が交わって\n"
    "                いたかを日付の入れ替えと比べる (JSON・CSV・PNG・SVG)\n"
    "  -h, --help    この説明を表示して終了する\n"
    "  --version     版番号を表示して終了する\n";

const char kNoDisplay[] =
    "eqcircle: ウィンドウを開けません。グラフィカルな環境 (X11 または Wayland) が必要ですが、"
    "環境変数 DISPLAY も WAYLAND_DISPLAY も設定されていません。\n"
    "画面のない環境では eqcircle render で地図をファイルに描けます (eqcircle render --help)。\n";

bool isSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

// Qt platforms that draw without a display server.
bool needsNoDisplay(const std::string& platform) {
  const std::string name = platform.substr(0, platform.find(':'));  // "vnc:size=800x600"
  for (const char* headless : {"offscreen", "minimal", "minimalegl", "vnc", "linuxfb", "eglfs", "vkkhrdisplay"}) {
    if (name == headless) return true;
  }
  return false;
}

// Qt takes `-platform NAME` before QT_QPA_PLATFORM; either may list several
// platforms ("wayland;xcb"), tried in turn, so one headless entry always starts.
bool choosesHeadlessPlatform(int argc, char** argv) {
  std::string platforms;
  if (const char* value = std::getenv("QT_QPA_PLATFORM")) platforms = value;
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], "-platform") == 0) platforms = argv[i + 1];
  }
  std::size_t start = 0;
  while (start <= platforms.size()) {
    const std::size_t end = platforms.find(';', start);
    if (needsNoDisplay(platforms.substr(start, end - start))) return true;
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return false;
}

}  // namespace

std::optional<int> handleStartupOptions(int argc, char** argv) {
  if (isRenderCommand(argc, argv)) return std::nullopt;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "-h") == 0 || std::strcmp(argv[i], "--help") == 0) {
      std::fputs(kHelp, stdout);
      return 0;
    }
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("eqcircle %s\n", EQCIRCLE_VERSION);
      return 0;
    }
  }
  // Qt would abort with an English message of its own.
  if (!choosesHeadlessPlatform(argc, argv) && !isSet("DISPLAY") && !isSet("WAYLAND_DISPLAY")) {
    std::fputs(kNoDisplay, stderr);
    return 1;
  }
  return std::nullopt;
}

}  // namespace eq
