// A row written into its file, and a failed write told to the user.
#include "editor/window/row_writer.h"

#include "editor/dialogs/dialogs.h"
#include "editor/model/chosen_preferences.h"
#include "editor/model/row_codec.h"
#include "editor/model/save_logic.h"
#include "id3v2/id3v2.h"
#include "id3v2/result_codes.h"

int TRowWriter::WriteV2(const std::string& path, int k) {
    id3v2::ClearLastErrorNumber();
    const uint16_t result = row_codec::WriteV2(tag_, path, model_, k, chosen_.V2Versions());
    if (result != 0) {
        ReportFailure(path, result, id3v2::LastErrorNumber());
    }
    return result;
}

QString TRowWriter::Write(int kind, const std::string& path, int k) {
    if (kind == 2) {
        return WriteV2(path, k) == 0 ? QString() : lastFailure_;
    }
    id3v2::ClearLastErrorNumber();
    const uint16_t result =
        row_codec::WriteV1(path, model_, k, chosen_.Values().keepModificationTimes);
    if (result == 0) {
        return {};
    }
    ReportFailure(path, result, id3v2::LastErrorNumber());
    return lastFailure_;
}

void TRowWriter::ReportFailure(const std::string& path, uint16_t result, int error) {
    if (error == 0) {
        error = save_logic::LikelyError(path, result);
    }
    lastFailure_ = save_logic::FailureReason(result, error, path);
    dialogs_.Error(&window_,
                   save_logic::SaveTagsError(
                       result, save_logic::DisplayName(save_logic::FileNameOf(path)), error, path));
}
