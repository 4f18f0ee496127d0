#pragma once
// The main window's working state, shared by every command and by the procedures
// JulianDay, PlotRadius and PlotXY, which exchange values only through these.
// single = float, double = double, integer = int16_t, as the window always had them.

#include <QString>
#include <array>
#include <cstdint>

namespace eq {

constexpr int kRowCount = 10;          // rows of the eruption table
constexpr int kRowArraySize = 21;      // per-row arrays run 0 ... 20; rows use 1 ... 10

struct FormVariables {
  // Input and output of JulianDay.
  double CalcYear = 0;
  double CalcMonth = 0;
  double CalcDay = 0;
  double DayNumber = 0;
  // Input and output of PlotRadius.
  double PredictionDayNumber = 0;
  double EruptionDayNumber = 0;
  double RadiusKm = 0;
  // Input and output of PlotXY.
  float Latitude = 0;
  float Longitude = 0;
  double MapX = 0;
  double MapY = 0;
  // The prediction date as the Draw command read it.
  float PredictionYear = 0;
  float PredictionMonth = 0;
  float PredictionDay = 0;
  // Row walks and flags.
  int16_t RowNo = 0;
  int16_t RowBaseIndex = 0;
  int16_t DrawnCount = 0;
  int16_t ShowBackgroundMap = 0;
  QString TitleComment;
  // Per-row values; nothing clears them, a failed conversion keeps the old value.
  std::array<QString, kRowArraySize> VolcanoName;
  std::array<float, kRowArraySize> EruptionYear{};
  std::array<float, kRowArraySize> EruptionMonth{};
  std::array<float, kRowArraySize> EruptionDay{};
  std::array<float, kRowArraySize> VolcanoLatitude{};
  std::array<float, kRowArraySize> VolcanoLongitude{};
  std::array<int16_t, kRowArraySize> RowDrawn{};
  std::array<double, kRowArraySize> RowMapX{};
};

}  // namespace eq
