#pragma once
// The script's lines as the studio lists them: number, time, letter, text or
// file name, colour, and the checker's findings on the line as an icon and a
// tooltip. It shows rows made elsewhere.

#include <QAbstractTableModel>
#include <QColor>
#include <optional>
#include <vector>

namespace quilo {

struct LineRow {
    QString time;
    QString letter;
    QString body;
    std::optional<QColor> colour;
    QString colourName;  // "14 giallo"
    QString findings;    // one finding a line; empty for none
    bool error = false;
    bool dim = false;  // the header, comments, the notes after "**"
};

class LineListModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column { Number, Time, Letter, Body, Colour, Columns };
    using QAbstractTableModel::QAbstractTableModel;

    void setRows(std::vector<LineRow> rows);
    const std::vector<LineRow>& rows() const { return rows_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    std::vector<LineRow> rows_;
};

}  // namespace quilo
