#pragma once
// Command2 "噴火データ保存": writes the table to "無題.txt" and opens it in the editor.

namespace eq {

class Session;

void saveEruptionData(Session& session);

}  // namespace eq
