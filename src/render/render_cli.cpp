#include "render/render_cli.h"

#include "model/number_text.h"
#include "quakes/hindcast_report.h"
#include "session/date_series.h"
#include "platform/scripted_platform.h"
#include "session/draw_command.h"
#include "session/map_data.h"
#include "session/open_command.h"
#include "session/quake_commands.h"
#include "session/session.h"
#include "session/table_commands.h"
#include "sheet/sheet_export.h"
#include "sheet/webp_writer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QStringList>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <set>

namespace eq {
namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr double kSmallestScale = 0.1;
constexpr double kLargestScale = 4;
constexpr qint64 kLastSecond = 253402300799;  // of 9999-12-31 (UTC), the last day a date stamp can show

const char kUsage[] =
    "使い方: eqcircle render DATAFILE --date Y-M-D [--rows 1,3,7|all] [--title TEXT]\n"
    "                        [--no-background] [--created Y-M-D] [--scale K]\n"
    "                        [--circles classic|geodesic] [--tolerance KM] [--crossings]\n"
    "                        [--quakes FILE [--min-mag M] [--quake-days N]] --out FILE\n"
    "        eqcircle render DATAFILE --from Y-M-D --to Y-M-D [--step DAYS] [--fps N]\n"
    "                        [その他のオプション] --out PATTERN\n"
    "        eqcircle hindcast DATAFILE --quakes FILE [--min-mag M] [--rows LIST]\n"
    "                        [--circles MODE] [--tolerance KM] [--permutations N] [--seed S] --out REPORT\n"
    "  DATAFILE          噴火データファイル (Shift-JIS、UTF-8 または UTF-16、最大10行)\n"
    "  --date Y-M-D      地震予測年月日 (例: 2024-5-1)\n"
    "  --from Y-M-D      日付ごとに描くときの最初の地震予測年月日\n"
    "  --to Y-M-D        最後の地震予測年月日 (この日も描きます)\n"
    "  --step DAYS       日付の間隔 (日数、省略時 1)\n"
    "  --fps N           アニメーション WebP の1秒あたりのコマ数 (1〜%1、省略時 %2)\n"
    "  --rows LIST       描画する行 (例: 1,3,7 または all)。省略時は火山名のある行すべて\n"
    "  --title TEXT      タイトルコメント\n"
    "  --no-background   背景地図を使わない\n"
    "  --created Y-M-D   作成日の日付 (省略時は SOURCE_DATE_EPOCH の日付、それもなければ今日)\n"
    "  --scale K         PNG と SVG の倍率 (0.1〜4、省略時 1)\n"
    "  --circles MODE    classic (図上の円、省略時) または geodesic (地球楕円体上の真の距離の円)\n"
    "  --tolerance KM    交点の支持数に数える円の近さ (km、省略時 50)\n"
    "  --crossings       円の交点を図に青い輪で示す\n"
    "  --quakes FILE     USGS の地震カタログ (CSV または GeoJSON) の地震を図に重ねる\n"
    "  --min-mag M       重ねる地震の最小マグニチュード (省略時 6.0)\n"
    "  --quake-days N    地震予測年月日から N 日後までの地震を重ねる (省略時 365、0 は全期間)\n"
    "  --permutations N  hindcast: 日付を入れ替える回数 (1〜100000、省略時 1000)\n"
    "  --seed S          hindcast: 入れ替えの乱数の種 (0 以上の整数、省略時 1)\n"
    "  --out REPORT      hindcast: 検証結果 (.json .csv .png .svg)\n"
    "  --out FILE        出力ファイル (.png .pdf .svg .json、地図データは .geojson .kml)\n"
    "  --out PATTERN     日付ごとの出力ファイル。{date} (YYYY-MM-DD) か {n} (0001 から) を\n"
    "                    名前に含めます (例: frames/sheet-{date}.png)。.webp なら全コマの\n"
    "                    アニメーション WebP を一つ書きます\n";

QString usage() { return QString::fromUtf8(kUsage).arg(kFastestFrameRate).arg(kDefaultFrameRate); }

// Each line goes out at once, also into a pipe: a script sees every frame as soon as
// its file is complete, and keeps what it was told when the run is stopped.
void printTo(std::FILE* stream, const QString& text) {
  const QByteArray bytes = text.toUtf8();
  std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
  std::fflush(stream);
}

// "render" or "hindcast", the command the messages name.
QString commandName = QStringLiteral("render");

void complain(const QString& message) { printTo(stderr, QStringLiteral("eqcircle ") + commandName + ": " + message + '\n'); }

struct RenderOptions {
  QString dataFile;
  QStringList dateParts;            // year, month, day as typed into the table
  std::optional<std::set<int>> rows;  // none: every row with a name
  std::optional<QString> title;
  bool noBackground = false;
  QDate created;
  double scale = 1;
  CircleMode circleMode = CircleMode::Classic;
  double toleranceKm = kDefaultSupportToleranceKm;
  bool crossings = false;
  QString out;
  std::optional<SheetFormat> format;       // a picture of the sheet, or
  std::optional<MapDataFormat> mapFormat;  // map data
  // A series of dates instead of --date.
  QDate from;
  QDate to;
  std::optional<int> step;
  std::optional<int> fps;
  bool series() const { return from.isValid() || to.isValid(); }
  // Earthquakes: over the sheet, or measured against the circles (the hindcast).
  QString quakes;
  std::optional<double> minMagnitude;
  std::optional<int> quakeDays;
  std::optional<int> permutations;
  std::optional<std::uint64_t> seed;
  bool hindcast = false;
  std::optional<ReportFormat> reportFormat;
};

// Three numbers, each of which a single-precision box value can hold.
std::optional<QStringList> predictionDateParts(const QString& text) {
  const QStringList parts = text.split(QLatin1Char('-'));
  if (parts.size() != 3) return std::nullopt;
  for (const QString& part : parts) {
    if (!strictSingle(part.toUtf8().toStdString())) return std::nullopt;
  }
  return parts;
}

std::optional<std::set<int>> rowList(const QString& text) {
  std::set<int> rows;
  if (text == QLatin1String("all")) {
    for (int row = 1; row <= kRowCount; ++row) rows.insert(row);
    return rows;
  }
  for (const QString& part : text.split(QLatin1Char(','))) {
    bool ok = false;
    const int row = part.trimmed().toInt(&ok);
    if (!ok || row < 1 || row > kRowCount) return std::nullopt;
    rows.insert(row);
  }
  return rows;
}

// The options that take a value, in the order their values are checked.
const char* const kValueOptions[] = {"date",      "rows",       "title",   "created",  "from",
                                     "to",        "step",       "fps",     "scale",    "circles",
                                     "tolerance", "quakes",     "min-mag", "quake-days", "permutations",
                                     "seed",      "out"};
const char* const kFlags[] = {"no-background", "crossings"};

// Takes one option's value; an empty result means it was fine, otherwise it says why not.
QString applyOption(const QString& option, const QString& value, RenderOptions& options) {
  if (option == QLatin1String("--date")) {
    const auto parts = predictionDateParts(value);
    if (!parts) return QStringLiteral("--date は Y-M-D の形で数を書いてください (例: 2024-5-1): %1").arg(value);
    options.dateParts = *parts;
  } else if (option == QLatin1String("--rows")) {
    options.rows = rowList(value);
    if (!options.rows) return QStringLiteral("--rows は 1〜10 の行番号をコンマで区切るか all にしてください: %1").arg(value);
  } else if (option == QLatin1String("--title")) {
    options.title = value;
  } else if (option == QLatin1String("--created")) {
    options.created = QDate::fromString(value, QStringLiteral("yyyy-M-d"));
    if (!options.created.isValid()) return QStringLiteral("--created は暦にある日付を Y-M-D の形で書いてください: %1").arg(value);
  } else if (option == QLatin1String("--from") || option == QLatin1String("--to")) {
    const QDate date = QDate::fromString(value, QStringLiteral("yyyy-M-d"));
    if (!date.isValid()) return QStringLiteral("%1 は暦にある日付を Y-M-D の形で書いてください: %2").arg(option, value);
    (option == QLatin1String("--from") ? options.from : options.to) = date;
  } else if (option == QLatin1String("--step")) {
    bool ok = false;
    options.step = value.toInt(&ok);
    if (!ok || *options.step < 1) return QStringLiteral("--step は 1 以上の日数にしてください: %1").arg(value);
  } else if (option == QLatin1String("--fps")) {
    bool ok = false;
    options.fps = value.toInt(&ok);
    if (!ok || *options.fps < 1 || *options.fps > kFastestFrameRate) {
      return QStringLiteral("--fps は 1〜%1 の整数にしてください: %2").arg(kFastestFrameRate).arg(value);
    }
  } else if (option == QLatin1String("--scale")) {
    bool ok = false;
    options.scale = value.toDouble(&ok);
    if (!ok || !(options.scale >= kSmallestScale && options.scale <= kLargestScale)) {
      return QStringLiteral("--scale は 0.1〜4 の数にしてください: %1").arg(value);
    }
  } else if (option == QLatin1String("--circles")) {
    const auto mode = circleModeFromName(value.toStdString());
    if (!mode) return QStringLiteral("--circles は classic か geodesic にしてください: %1").arg(value);
    options.circleMode = *mode;
  } else if (option == QLatin1String("--tolerance")) {
    const auto km = strictNumber(value.toUtf8().toStdString());
    if (!km || !(*km >= 0 && *km <= 20000)) return QStringLiteral("--tolerance は 0〜20000 の km の数にしてください: %1").arg(value);
    options.toleranceKm = *km;
  } else if (option == QLatin1String("--quakes")) {
    options.quakes = value;
  } else if (option == QLatin1String("--min-mag")) {
    options.minMagnitude = strictNumber(value.toUtf8().toStdString());
    if (!options.minMagnitude || !(*options.minMagnitude >= -2 && *options.minMagnitude <= 10)) {
      return QStringLiteral("--min-mag は -2〜10 のマグニチュードにしてください: %1").arg(value);
    }
  } else if (option == QLatin1String("--quake-days")) {
    bool ok = false;
    options.quakeDays = value.toInt(&ok);
    if (!ok || *options.quakeDays < 0 || *options.quakeDays > 3660000) {
      return QStringLiteral("--quake-days は 0 以上の日数にしてください (0 は全期間): %1").arg(value);
    }
  } else if (option == QLatin1String("--permutations")) {
    bool ok = false;
    options.permutations = value.toInt(&ok);
    if (!ok || *options.permutations < 1 || *options.permutations > kMostPermutations) {
      return QStringLiteral("--permutations は 1〜%1 の回数にしてください: %2").arg(kMostPermutations).arg(value);
    }
  } else if (option == QLatin1String("--seed")) {
    bool ok = false;
    options.seed = value.toULongLong(&ok);
    if (!ok || *options.seed > (std::uint64_t{1} << 53) - 1 || value.startsWith(QLatin1Char('+'))) {
      return QStringLiteral("--seed は 0〜9007199254740991 の整数にしてください: %1").arg(value);
    }
  } else {
    options.out = value;
  }
  return {};
}

// The parsed options, or a message saying what is wrong.
struct Parsed {
  std::optional<RenderOptions> options;
  QString error;
  bool help = false;
};

// What is wrong with the options of a series of dates; empty when nothing is.
QString seriesProblem(RenderOptions& options) {
  if (!options.dateParts.isEmpty()) return QStringLiteral("--date と --from/--to は一緒に使えません");
  if (!options.from.isValid() || !options.to.isValid()) return QStringLiteral("--from と --to は両方指定してください");
  const DateRange range{options.from, options.to, options.step.value_or(1)};
  if (const auto problem = rangeProblem(range)) return *problem;
  if (options.out.isEmpty()) return QStringLiteral("--out で出力ファイルを指定してください");
  if (isAnimationPath(options.out)) {
    if (hasFramePlaceholder(options.out)) {
      return QStringLiteral("アニメーション WebP は一つのファイルなので、名前に {date} や {n} は使えません: %1")
          .arg(options.out);
    }
    return {};
  }
  if (options.fps) return QStringLiteral("--fps はアニメーション WebP (.webp) を書くときに使えます");
  const auto format = sheetFormatForPath(options.out);
  if (!format) {
    return QStringLiteral("出力ファイルの拡張子は .png .pdf .svg .json .webp のいずれかにしてください: %1").arg(options.out);
  }
  options.format = *format;
  if (frameCount(range) > 1 && !hasFramePlaceholder(options.out)) {
    return QStringLiteral("日付ごとのファイル名には {date} か {n} を含めてください: %1").arg(options.out);
  }
  return {};
}

Parsed parseArguments(const QStringList& args) {
  Parsed parsed;
  const auto bad = [&parsed](const QString& message) {
    parsed.error = message;
    return parsed;
  };
  QCommandLineParser parser;
  parser.addOption({{QStringLiteral("h"), QStringLiteral("help")}, QString()});
  for (const char* flag : kFlags) parser.addOption({QString::fromLatin1(flag), QString()});
  for (const char* option : kValueOptions) parser.addOption({QString::fromLatin1(option), QString(), QStringLiteral("value")});
  const bool understood = parser.parse(args);
  if (parser.isSet(QStringLiteral("help"))) {
    parsed.help = true;
    return parsed;
  }
  if (!understood) {
    // The parser's own messages are English; ours name the option as it was typed.
    if (!parser.unknownOptionNames().isEmpty()) {
      const QString name = parser.unknownOptionNames().front();
      return bad(QStringLiteral("不明なオプション: %1").arg((name.size() == 1 ? "-" : "--") + name));
    }
    for (const QString& arg : args) {
      for (const char* flag : kFlags) {
        const QString option = QStringLiteral("--") + QLatin1String(flag);
        if (arg.startsWith(option + QLatin1Char('='))) return bad(QStringLiteral("%1 は値をとりません").arg(option));
      }
    }
    // The one failure left: the last argument is an option that takes a value.
    return bad(QStringLiteral("%1 に値がありません").arg(args.back()));
  }
  RenderOptions options;
  options.noBackground = parser.isSet(QStringLiteral("no-background"));
  options.crossings = parser.isSet(QStringLiteral("crossings"));
  for (const char* option : kValueOptions) {
    for (const QString& value : parser.values(QString::fromLatin1(option))) {
      const QString error = applyOption(QStringLiteral("--") + QLatin1String(option), value, options);
      if (!error.isEmpty()) return bad(error);
    }
  }
  const QStringList positional = parser.positionalArguments().mid(1);  // after "render" or "hindcast"
  // Reproducible builds set this for every tool: the creation date of what they make.
  const QByteArray epoch = qgetenv("SOURCE_DATE_EPOCH");
  if (!options.created.isValid() && !epoch.isEmpty()) {
    bool ok = false;
    const qint64 seconds = epoch.toLongLong(&ok);
    if (!ok || seconds < 0 || seconds > kLastSecond) {
      return bad(QStringLiteral("SOURCE_DATE_EPOCH は 1970-1-1 から 9999-12-31 までの秒数にしてください: %1")
                     .arg(QString::fromLocal8Bit(epoch)));
    }
    options.created = QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC).date();
  }
  if (positional.isEmpty()) return bad(QStringLiteral("噴火データファイルを指定してください"));
  if (positional.size() > 1) {
    return bad(QStringLiteral("噴火データファイルは一つだけ指定してください: %1").arg(positional.join(QLatin1Char(' '))));
  }
  options.dataFile = positional.front();
  options.hindcast = parser.positionalArguments().value(0) == QLatin1String("hindcast");
  if (options.hindcast) {
    for (const char* option : {"date", "from", "to", "step", "fps", "title", "created", "scale", "quake-days"}) {
      if (parser.isSet(QString::fromLatin1(option))) return bad(QStringLiteral("--%1 は hindcast では使えません").arg(QLatin1String(option)));
    }
    if (options.crossings || options.noBackground) return bad(QStringLiteral("--crossings と --no-background は hindcast では使えません"));
    if (options.quakes.isEmpty()) return bad(QStringLiteral("--quakes で地震カタログを指定してください"));
    if (options.out.isEmpty()) return bad(QStringLiteral("--out で検証結果のファイルを指定してください"));
    options.reportFormat = reportFormatForPath(options.out);
    if (!options.reportFormat) {
      return bad(QStringLiteral("検証結果の拡張子は .json .csv .png .svg のいずれかにしてください: %1").arg(options.out));
    }
    parsed.options = options;
    return parsed;
  }
  if (options.permutations || options.seed) return bad(QStringLiteral("--permutations と --seed は hindcast で使えます"));
  if ((options.minMagnitude || options.quakeDays) && options.quakes.isEmpty()) {
    return bad(QStringLiteral("--min-mag と --quake-days は --quakes を指定したときに使えます"));
  }
  if (options.series()) {
    const QString error = seriesProblem(options);
    if (!error.isEmpty()) return bad(error);
    parsed.options = options;
    return parsed;
  }
  if (options.step || options.fps) return bad(QStringLiteral("--step と --fps は --from と --to を指定したときに使えます"));
  if (options.dateParts.isEmpty()) return bad(QStringLiteral("--date で地震予測年月日を指定してください"));
  if (options.out.isEmpty()) return bad(QStringLiteral("--out で出力ファイルを指定してください"));
  options.format = sheetFormatForPath(options.out);
  options.mapFormat = mapDataFormatForPath(options.out);
  if (!options.format && !options.mapFormat) {
    return bad(QStringLiteral("出力ファイルの拡張子は .png .pdf .svg .json .geojson .kml のいずれかにしてください: %1")
                   .arg(options.out));
  }
  parsed.options = options;
  return parsed;
}

// How a character of a name is written in a line; nothing when it is written as it is.
const char* escapeOf(QChar c) {
  switch (c.unicode()) {
    case '\\': return "\\\\";
    case '\t': return "\\t";
    case '\n': return "\\n";
    case '\r': return "\\r";
    default: return nullptr;
  }
}

// A name as one field of a tab-separated line: its own tabs and line breaks escaped,
// so that every row stays on one line whatever the data file holds.
QString escapedField(const QString& text) {
  // Most names need nothing, and a name may be millions of characters long.
  if (std::none_of(text.cbegin(), text.cend(), [](QChar c) { return escapeOf(c) != nullptr; })) return text;
  QString out;
  out.reserve(text.size());
  for (const QChar c : text) {
    if (const char* escape = escapeOf(c)) {
      out += QLatin1String(escape);
    } else {
      out += c;
    }
  }
  return out;
}

QString rowLine(int row, const QString& name, const RowOutcome& outcome) {
  const QString radius = outcome.radiusKm ? QString::number(*outcome.radiusKm, 'f', 2) : QStringLiteral("-");
  return QStringLiteral("%1\t%2\t%3\t%4\n")
      .arg(row)
      .arg(escapedField(name), QString::fromLatin1(rowStateName(outcome.state)), radius);
}

// One sheet per date of the range; a line (date, file) for each file once it is complete.
int renderSeries(const Session& session, const RenderOptions& options) {
  const DateRange range{options.from, options.to, options.step.value_or(1)};
  SeriesWriter writer(options.out, options.scale, options.fps.value_or(kDefaultFrameRate), options.created);
  const auto failed = renderDateSeries(session, range, options.created, writer, [](const WrittenFrame& frame) {
    printTo(stdout, QStringLiteral("%1\t%2\n").arg(frame.date.toString(Qt::ISODate), frame.path));
  });
  if (failed) {
    complain(*failed);
    return kExitFailed;
  }
  return 0;
}

// The hindcast of the rows against the catalogue; its report, and the summary on stdout.
int runHindcast(const Session& session, const RenderOptions& options, const Catalogue& catalogue) {
  LastGoodValues lastGood = session.lastGood;
  const DrawSetUp setUp = drawSetUp(session, lastGood, QDate(2000, 1, 1));
  HindcastOptions hindcast;
  hindcast.minMagnitude = options.minMagnitude.value_or(kDefaultMinMagnitude);
  hindcast.permutations = options.permutations.value_or(kDefaultPermutations);
  hindcast.seed = options.seed.value_or(kDefaultSeed);
  const std::optional<Hindcast> report = eq::runHindcast(setUp.inputs, catalogue.quakes, hindcast);
  QString error;
  if (!report || !writeHindcastReport(*report, options.out, *options.reportFormat, &error)) {
    complain(error);
    return kExitFailed;
  }
  printTo(stdout, QString::fromStdString(hindcastSummary(*report)) + '\n');
  return 0;
}

}  // namespace

int runRenderCommand(int, char**) {
  if (QCoreApplication::arguments().value(1) == QLatin1String("hindcast")) commandName = QStringLiteral("hindcast");
  const Parsed parsed = parseArguments(QCoreApplication::arguments());
  if (parsed.help) {
    printTo(stdout, usage());
    return 0;
  }
  if (!parsed.options) {
    complain(parsed.error);
    printTo(stderr, usage());
    return kExitUsage;
  }
  const RenderOptions& options = *parsed.options;

  // Nothing may wait for a person: every question gets the scripted (cautious) answer.
  ScriptedPlatform platform;
  Session session(platform);
  session.startUp();

  const LoadResult loaded = loadEruptionDataFile(session, options.dataFile);
  if (!loaded.ok) {
    QString why = loaded.error;
    why.replace(QLatin1Char('\n'), QLatin1Char(' '));
    complain(why.isEmpty() ? QStringLiteral("噴火データファイルを読み込めませんでした: %1").arg(options.dataFile) : why);
    return kExitFailed;
  }
  for (int row = 1; row <= kRowCount; ++row) {
    const bool tick = options.rows ? options.rows->count(row) > 0 : !session.text(fieldIndex(row, 1)).isEmpty();
    session.setTicked(row, tick);
  }
  if (options.title) {
    session.TitleComment = *options.title;
    session.setCaption(Control::Label37, *options.title);
  }
  if (options.noBackground) session.ShowBackgroundMap = false;
  session.analysis.circleMode = options.circleMode;
  session.analysis.toleranceKm = options.toleranceKm;
  session.analysis.showCrossings = options.crossings;
  if (!options.quakes.isEmpty()) {
    const CatalogueLoad load = loadQuakeCatalogue(options.quakes);
    if (!load.catalogue) {
      complain(QString(load.error).replace(QLatin1Char('\n'), QLatin1Char(' ')));
      return kExitFailed;
    }
    if (!load.note.isEmpty()) complain(load.note);
    if (options.hindcast) return runHindcast(session, options, *load.catalogue);
    setQuakeOverlay(session, load.catalogue, options.quakes, options.minMagnitude.value_or(kDefaultMinMagnitude),
                    options.quakeDays.value_or(kDefaultQuakeDays));
  }
  if (options.series()) return renderSeries(session, options);

  for (int k = 0; k < 3; ++k) session.setText(kPredictionYearBox + k, options.dateParts.value(k));
  if (!runDrawCommand(session, options.created)) {
    complain(QStringLiteral("予測年データが未入力です"));
    return kExitFailed;
  }
  QString error;
  QString note;
  const bool written =
      options.format
          ? writeSheetFile(session.surface().drawing(), session.surface().background(), options.out, *options.format,
                           options.scale, options.created, &error)
          : writeMapDataFile(session, options.out, *options.mapFormat, &error, &note);
  if (!written) {
    complain(error);
    return kExitFailed;
  }
  if (!note.isEmpty()) complain(note);
  for (int row = 1; row <= kRowCount; ++row) {
    const QString name = QString::fromStdString(session.surface().inputs().rows[row].values.name);
    printTo(stdout, rowLine(row, name, session.surface().drawing().rows[row]));
  }
  return 0;
}

}  // namespace eq
