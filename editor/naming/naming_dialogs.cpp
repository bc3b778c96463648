// The naming commands' dialog and the patterns it remembers between runs.
#include "editor/naming/naming_dialogs.h"

#include "editor/model/counted.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QVBoxLayout>
#include <memory>

#include "editor/model/preferences.h"

TNamingDialog::TNamingDialog(QWidget* parent, naming::Direction direction,
                             const QStringList& patterns, Preview preview)
    : QDialog(parent), preview_(std::move(preview)) {
    const bool parse = direction == naming::Direction::Parse;
    setObjectName(parse ? QStringLiteral("TagsFromNamesDialog")
                        : QStringLiteral("NamesFromTagsDialog"));
    setWindowTitle(parse ? QStringLiteral("Tags from File Names")
                         : QStringLiteral("File Names from Tags"));
    resize(720, 480);
    auto* layout = new QVBoxLayout(this);

    PatternBox = new QComboBox(this);
    PatternBox->setObjectName(QStringLiteral("PatternBox"));
    PatternBox->setEditable(true);
    PatternBox->setInsertPolicy(QComboBox::NoInsert);
    PatternBox->addItems(patterns);
    layout->addWidget(new QLabel(QStringLiteral("Pattern:"), this));
    layout->addWidget(PatternBox);

    auto* fields = new QLabel(naming::FieldListText(direction), this);
    fields->setObjectName(QStringLiteral("FieldList"));
    fields->setWordWrap(true);
    layout->addWidget(fields);
    if (parse) {
        UnderscoresBox = new QCheckBox(QStringLiteral("Underscores to spaces"), this);
        UnderscoresBox->setObjectName(QStringLiteral("UnderscoresBox"));
        layout->addWidget(UnderscoresBox);
        connect(UnderscoresBox, &QCheckBox::toggled, this, [this] { UpdatePreview(); });
    } else {
        auto* replaced = new QLabel(naming::ReplacementsText(), this);
        replaced->setObjectName(QStringLiteral("ReplacementsLabel"));
        replaced->setWordWrap(true);
        layout->addWidget(replaced);
    }

    ProblemLabel = new QLabel(this);
    ProblemLabel->setObjectName(QStringLiteral("ProblemLabel"));
    layout->addWidget(ProblemLabel);
    PreviewTable = new QTableWidget(this);
    PreviewTable->setObjectName(QStringLiteral("PreviewTable"));
    PreviewTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    PreviewTable->verticalHeader()->hide();
    // Each column as wide as its longest text, which its tooltip also shows;
    // a wide table scrolls.
    PreviewTable->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    PreviewTable->setWordWrap(false);
    layout->addWidget(PreviewTable, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ApplyButton = buttons->button(QDialogButtonBox::Ok);
    ApplyButton->setObjectName(QStringLiteral("ApplyButton"));
    ApplyButton->setText(parse ? QStringLiteral("Apply") : QStringLiteral("Rename"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    connect(PatternBox, &QComboBox::editTextChanged, this, [this] { UpdatePreview(); });
    UpdatePreview();
    // Typing replaces the pattern offered; the arrow keys and the list give the others.
    PatternBox->setFocus();
    PatternBox->lineEdit()->selectAll();
}

QString TNamingDialog::Pattern() const {
    return PatternBox->currentText();
}

bool TNamingDialog::UnderscoresToSpaces() const {
    return UnderscoresBox != nullptr && UnderscoresBox->isChecked();
}

void TNamingDialog::UpdatePreview() {
    const naming::PreviewTable table = preview_(Pattern(), UnderscoresToSpaces());
    PreviewTable->setColumnCount(static_cast<int>(table.headers.size()));
    PreviewTable->setHorizontalHeaderLabels(table.headers);
    PreviewTable->setRowCount(static_cast<int>(table.cells.size()));
    int taking = 0;
    for (size_t r = 0; r < table.cells.size(); ++r) {
        const bool takes = table.takesPart[r];
        taking += takes ? 1 : 0;
        for (int c = 0; c < table.cells[r].size(); ++c) {
            auto* item = new QTableWidgetItem(table.cells[r][c]);
            item->setToolTip(table.cells[r][c]);
            if (!takes) {
                item->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
            }
            PreviewTable->setItem(static_cast<int>(r), c, item);
        }
    }
    ProblemLabel->setText(
        table.error.isEmpty()
            ? QStringLiteral("%1 of %2 %3.")
                  .arg(QString::number(taking),
                       Counted(table.cells.size(), QStringLiteral("row"), QStringLiteral("rows")),
                       taking == 1 ? QStringLiteral("changes") : QStringLiteral("change"))
            : table.error);
    ApplyButton->setEnabled(table.error.isEmpty() && taking > 0);
}

namespace naming {

namespace {

QString Key(Direction direction) {
    return direction == Direction::Parse ? QStringLiteral("naming/tagsFromNames")
                                         : QStringLiteral("naming/namesFromTags");
}

}  // namespace

QStringList OfferedPatterns(Direction direction) {
    QStringList offered = prefs::SettingsFile()->value(Key(direction)).toStringList();
    const QStringList common =
        direction == Direction::Parse
            ? QStringList{QStringLiteral("%{track} - %{title}"),
                          QStringLiteral("%{track} - %{artist} - %{title}"),
                          QStringLiteral("%{artist} - %{title}")}
            : QStringList{QStringLiteral("%{track:2} - %{title}"),
                          QStringLiteral("%{track:2} - %{artist} - %{title}"),
                          QStringLiteral("%{artist} - %{title}")};
    for (const QString& pattern : common) {
        if (!offered.contains(pattern)) {
            offered << pattern;
        }
    }
    return offered;
}

void RememberUsed(Direction direction, const QString& pattern) {
    const std::unique_ptr<QSettings> settings = prefs::SettingsFile();
    settings->setValue(Key(direction),
                       RememberPattern(settings->value(Key(direction)).toStringList(), pattern));
}

}  // namespace naming
