#pragma once
// The real dialogs of the high-score table: the name of a new entry and the table itself.

#include <cstddef>
#include <optional>
#include <string>

#include "records/table.h"
#include "shell/dialogs.h"

class QWidget;

namespace kestro::shell {

inline constexpr const char* kHighScoresTitle = "High Scores";
inline constexpr const char* kNewHighScoreTitle = "New High Score";
inline constexpr const char* kAskNameText = "Your run enters the high-score table. Your name:";
inline constexpr const char* kNoRunsText = "No run has been recorded yet.";
inline constexpr const char* kFromSavedGameText = "from a saved game";

// The columns the table dialog shows, in order.
inline constexpr const char* kTableColumns[] = {"Place",        "Name",      "Points", "Level",
                                                "Acceleration", "Top Speed", "Date",   "Began"};

// One row of the table as the dialog shows it, a text per column.
struct TableRow {
    std::string cells[std::size(kTableColumns)];
};
TableRow tableRow(std::size_t place, const records::Entry& entry);

class QtRecordsPrompt final : public RecordsPrompt {
  public:
    explicit QtRecordsPrompt(QWidget* parent = nullptr) : parent_(parent) {}
    std::optional<std::string> askName(const std::string& offered) override;
    void showTable(const records::Table& table, std::optional<std::size_t> marked) override;

  private:
    QWidget* parent_;
};

}  // namespace kestro::shell
