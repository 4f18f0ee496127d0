#include "draw/inputs.h"

#include "model/number_text.h"

namespace eq {

RecordValues readRow(const RecordValues& lastGood, const RowTexts& texts) {
  RecordValues values = lastGood;
  values.name = texts[0];
  for (std::size_t k = 0; k < kNumbersPerRecord; ++k) {
    if (const auto value = strictSingle(texts[k + 1])) values.numbers[k] = *value;
  }
  return values;
}

RecordValues readRowForSave(const RecordValues& lastGood, const RowTexts& texts) {
  if (!texts[0].empty()) return readRow(lastGood, texts);
  return RecordValues{};
}

RecordValues withRecord(RecordValues lastGood, const EruptionRecord& record) {
  if (record.name) lastGood.name = *record.name;
  for (std::size_t k = 0; k < kNumbersPerRecord; ++k) {
    if (record.numbers[k]) lastGood.numbers[k] = *record.numbers[k];
  }
  return lastGood;
}

RowTexts shownRow(const RecordValues& values) {
  RowTexts texts;
  if (values.name != "0") texts[0] = values.name;
  for (std::size_t k = 0; k < kNumbersPerRecord; ++k) {
    if (values.numbers[k] != 0) texts[k + 1] = generalText(values.numbers[k]);
  }
  return texts;
}

bool readPredictionDate(TableDate& lastGood, const DateTexts& texts) {
  for (std::size_t k = 0; k < texts.size(); ++k) {
    if (texts[k].empty()) return false;
    if (const auto value = toSingle(leadingNumber(texts[k]))) lastGood[k] = *value;
  }
  return true;
}

}  // namespace eq
