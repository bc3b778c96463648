// The ID3v1 side of the row codec: a row read from a file's record, and a
// row's changed values written into it in the model's record page.
#include <iterator>

#include "editor/model/latin1_text.h"
#include "editor/model/page_logic.h"
#include "editor/model/record_fit.h"
#include "editor/model/row_codec.h"
#include "id3v1/genres.h"
#include "id3v1/id3v1.h"
#include "id3v2/result_codes.h"
#include "platform/file.h"

namespace row_codec {

using bulk::Column;

QString RecordText(const Tv1TAGInfo& record, Column column, const code_page::TCodePage& page) {
    if (record.NoTag) {
        return QString();
    }
    switch (column) {
        case Column::Title:
            return page.Decode(record.Title);
        case Column::Artist:
            return page.Decode(record.Artist);
        case Column::Album:
            return page.Decode(record.Album);
        case Column::Comment:
            return page.Decode(record.Comment);
        case Column::Year: {
            // A year of no digits or of 0000 is the record's "none".
            const int year = page_logic::WholeNumber(record.Year).value_or(-1);
            return year <= 0 ? QString() : QString::number(year);
        }
        case Column::Track:
            return record.Track == 0 ? QString() : QString::number(record.Track);
        case Column::Genre:
            break;
    }
    return latin1_text::FromTag(GenreName(record.Genre));
}

TLoadedRow ReadV1(const std::string& path, const code_page::TCodePage& page) {
    TLoadedRow row;
    try {
        const Tv1TAGInfo record = ReadV1Tag(path);
        // A file without a record holds no value: the fields stay empty rather
        // than show a year or genre that looks stored.
        for (int f = 0; f < rows::kFieldCount; ++f) {
            row.values[static_cast<size_t>(f)] = RecordText(record, static_cast<Column>(f), page);
        }
        const std::pair<const std::string*, Column> texts[] = {{&record.Title, Column::Title},
                                                               {&record.Artist, Column::Artist},
                                                               {&record.Album, Column::Album},
                                                               {&record.Comment, Column::Comment}};
        for (const auto& [bytes, column] : texts) {
            row.legacy |=
                !record.NoTag && page.ReadsDifferently(*bytes) ? rows::FieldBit(column) : 0;
        }
        row.untagged = record.NoTag;
        row.notFound = record.NotFound;
    } catch (const platform::IoError& error) {
        row.problem = QString::fromLocal8Bit(error.what());
    }
    return row;
}

uint16_t WriteV1(const std::string& path, const rows::TRowModel& rows, int k,
                 bool keepModificationTime) {
    TV1Values values;
    // What the record can hold of each text; the row shows where that is not all.
    const auto text = [&](Column field) {
        return rows.RecordPage().EncodablePart(rows.Shown(k, field));
    };
    values.Title = text(Column::Title);
    values.Artist = text(Column::Artist);
    values.Album = text(Column::Album);
    values.Comment = text(Column::Comment);
    const auto number = [&](Column field) {
        return page_logic::WholeNumber(rows.Shown(k, field).trimmed().toStdString()).value_or(-1);
    };
    values.Year = number(Column::Year);
    values.Track =
        record_fit::TrackOfTotal(rows.Shown(k, Column::Track)).value_or(number(Column::Track));
    values.Genre = text(Column::Genre);
    // Only the changed values; the record keeps the others as stored.
    const unsigned changed = rows.ChangedFields(k);
    const TV1Field v1Fields[] = {kV1Title,   kV1Artist, kV1Album, kV1Year,
                                 kV1Comment, kV1Track,  kV1Genre};
    values.Fields = 0;
    for (size_t i = 0; i < std::size(v1Fields); ++i) {
        if ((changed & (1u << i)) != 0) {
            values.Fields |= v1Fields[i];
        }
    }
    try {
        WriteV1Tag(path, values, keepModificationTime);
    } catch (const platform::IoError& error) {
        return id3v2::ResultWord(id3v2::ErrorCodeOf(error));
    }
    return 0;
}

}  // namespace row_codec
