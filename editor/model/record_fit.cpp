// What an ID3v1 record can hold of a row's values.
#include "editor/model/record_fit.h"

#include <optional>

#include "editor/model/latin1_text.h"
#include "editor/model/page_logic.h"
#include "editor/model/tag_values.h"
#include "editor/model/transliteration.h"
#include "id3v1/genres.h"

namespace record_fit {
namespace {

constexpr int kTextWidth = 30;
constexpr int kCommentWidth = 28;

int Width(bulk::Column column) {
    return column == bulk::Column::Comment ? kCommentWidth : kTextWidth;
}

bool GenreFits(const QString& text) {
    return text.trimmed().isEmpty() ||
           (latin1_text::IsLatin1(text) && RecordGenreByte(Latin1Part(text)) != 255);
}

}  // namespace

bool Fits(bulk::Column column, const QString& text) {
    using bulk::Column;
    switch (column) {
        case Column::Year:
            return tag_values::YearValid(text.toStdString());
        case Column::Track:
            // The record holds a track, never a total.
            return tag_values::TrackValid(text.toStdString(), tag_values::kMaxRecordTrack) &&
                   !text.contains(QLatin1Char('/'));
        case Column::Genre:
            return GenreFits(text);
        default:
            return latin1_text::IsLatin1(text) && text.size() <= Width(column);
    }
}

bool Fits(bulk::Column column, const QString& text, const code_page::TCodePage& page) {
    if (page.IsLatin1() || column == bulk::Column::Year || column == bulk::Column::Track ||
        column == bulk::Column::Genre) {
        return Fits(column, text);
    }
    const std::optional<std::string> bytes = page.Encode(text);
    return bytes && bytes->size() <= static_cast<size_t>(Width(column));
}

std::string Latin1Part(const QString& text) {
    std::string bytes;
    for (const QChar c : text) {
        if (c.unicode() != 0 && c.unicode() <= 0xFF) {
            bytes.push_back(static_cast<char>(c.unicode()));
        }
    }
    return bytes;
}

std::optional<int> TrackOfTotal(const QString& text) {
    const QString trimmed = text.trimmed();
    const qsizetype slash = trimmed.indexOf(QLatin1Char('/'));
    if (slash < 0) {
        return std::nullopt;
    }
    const QString total = trimmed.mid(slash + 1);
    if (!total.isEmpty() && !page_logic::WholeNumber(total.toStdString())) {
        return std::nullopt;
    }
    return page_logic::WholeNumber(trimmed.left(slash).toStdString());
}

QString Transliterated(bulk::Column column, const QString& text) {
    if (column == bulk::Column::Track) {
        const std::optional<int> track = TrackOfTotal(text);
        return track ? QString::number(*track) : text;
    }
    // Only the runs beyond ISO-8859-1 are transliterated: "Café" keeps its é.
    QString latin;
    QString run;
    for (const QChar c : text + QChar(u' ')) {
        if (c.unicode() > 0xFF) {
            run += c;
            continue;
        }
        latin += latin1_text::FromTag(Latin1Part(transliteration::ToLatin(run)));
        run.clear();
        latin += c;
    }
    latin.chop(1);
    if (column == bulk::Column::Genre) {
        return GenreFits(latin) ? latin : QString();
    }
    return latin.left(Width(column));
}

QString Transliterated(bulk::Column column, const QString& text, const code_page::TCodePage& page) {
    if (page.IsLatin1() || column == bulk::Column::Genre || column == bulk::Column::Track) {
        return Transliterated(column, text);
    }
    QString held;
    QString run;
    const auto heldPart = [&page](const QString& part) {
        QString kept;
        for (const QChar c : part) {
            if (page.Holds(c)) {
                kept += c;
            }
        }
        return kept;
    };
    for (const QChar c : text + QChar(u' ')) {
        if (!page.Holds(c)) {
            run += c;
            continue;
        }
        held += heldPart(transliteration::ToLatin(run));
        run.clear();
        held += c;
    }
    held.chop(1);
    while (!Fits(column, held, page)) {
        held.chop(1);
    }
    return held;
}

QString ColumnName(bulk::Column column) {
    static const char* const kNames[] = {"Title",   "Artist", "Album", "Year",
                                         "Comment", "Track",  "Genre"};
    return QString::fromLatin1(kNames[static_cast<int>(column)]);
}

QString UnstorableQuestion(const QStringList& lines) {
    return QStringLiteral(
               "An ID3v1 tag cannot hold these values as they are:\n\n%1\n\n"
               "Yes = write them transliterated to Latin letters and cut to fit\n"
               "No = leave these fields as they are in the files\n"
               "Cancel = save nothing")
        .arg(lines.join(QLatin1Char('\n')));
}

QString OutOfRangeMessage(const QStringList& lines) {
    return QStringLiteral(
               "Nothing was saved. A year is 1 to %1 or empty, a track 1 to %2 (%3 in an ID3v1 "
               "tag), alone or with a total of 1 to %2 (\"7/12\"), or empty; mend these values "
               "first:\n\n%4")
        .arg(tag_values::kMaxYear)
        .arg(tag_values::kMaxTrack)
        .arg(tag_values::kMaxRecordTrack)
        .arg(lines.join(QLatin1Char('\n')));
}

}  // namespace record_fit
