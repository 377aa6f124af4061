// The high-score table's dialogs, built from Qt's widgets: an input dialog for the name and a
// read-only table with the new entry selected.

#include "shell/records_dialogs.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFont>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

#include "records/player_name.h"

namespace kestro::shell {

TableRow tableRow(std::size_t place, const records::Entry& entry) {
    const records::RunScore& s = entry.score;
    // The date as stored is UTC to the second; the table shows the day.
    return TableRow{{std::to_string(place), entry.name, std::to_string(s.points),
                     std::to_string(s.level), std::to_string(s.accel), std::to_string(s.speed),
                     s.date.substr(0, 10), entry.fromSavedGame ? kFromSavedGameText : ""}};
}

std::optional<std::string> QtRecordsPrompt::askName(const std::string& offered) {
    QInputDialog dialog(parent_);
    dialog.setWindowTitle(QString::fromLatin1(kNewHighScoreTitle));
    dialog.setLabelText(QString::fromLatin1(kAskNameText));
    dialog.setTextValue(QString::fromStdString(offered));
    dialog.setInputMode(QInputDialog::TextInput);
    if (auto* edit = dialog.findChild<QLineEdit*>()) {
        edit->setMaxLength(static_cast<int>(records::kNameMaxBytes));
    }
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.textValue().toStdString();
}

void QtRecordsPrompt::showTable(const records::Table& table, std::optional<std::size_t> marked) {
    // Children before their parent's end: declared after the dialog, they go first.
    QDialog dialog(parent_);
    dialog.setWindowTitle(QString::fromLatin1(kHighScoresTitle));
    QVBoxLayout layout(&dialog);
    const int columns = static_cast<int>(std::size(kTableColumns));
    QStandardItemModel model(static_cast<int>(table.size()), columns);
    for (int c = 0; c < columns; ++c) {
        model.setHeaderData(c, Qt::Horizontal,
                            QString::fromLatin1(kTableColumns[static_cast<std::size_t>(c)]));
    }
    for (std::size_t i = 0; i < table.size(); ++i) {
        const TableRow row = tableRow(i + 1, table[i]);
        for (int c = 0; c < columns; ++c) {
            const QModelIndex at = model.index(static_cast<int>(i), c);
            model.setData(at, QString::fromStdString(row.cells[static_cast<std::size_t>(c)]));
            if (marked == i + 1) {
                QFont bold = dialog.font();
                bold.setBold(true);
                model.setData(at, bold, Qt::FontRole);
            }
        }
    }
    QLabel empty(QString::fromLatin1(kNoRunsText));
    QTableView view;
    if (table.empty()) {
        layout.addWidget(&empty);
    } else {
        view.setModel(&model);
        view.verticalHeader()->hide();
        view.setEditTriggers(QAbstractItemView::NoEditTriggers);
        view.setSelectionBehavior(QAbstractItemView::SelectRows);
        view.setSelectionMode(QAbstractItemView::SingleSelection);
        if (marked) {
            view.selectRow(static_cast<int>(*marked - 1));
        }
        view.resizeColumnsToContents();
        view.setMinimumWidth(view.horizontalHeader()->length() + 4);
        layout.addWidget(&view);
    }
    QDialogButtonBox buttons(QDialogButtonBox::Ok);
    QObject::connect(&buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    layout.addWidget(&buttons);
    dialog.exec();
}

}  // namespace kestro::shell
