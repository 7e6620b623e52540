#include "studio/view/LineListModel.h"

#include <QApplication>
#include <QBrush>
#include <QIcon>
#include <QStyle>

namespace quilo {

void LineListModel::setRows(std::vector<LineRow> rows) {
    if (rows.size() == rows_.size()) {
        rows_ = std::move(rows);
        if (!rows_.empty()) emit dataChanged(index(0, 0), index(rowCount() - 1, Columns - 1));
        return;
    }
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

int LineListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int LineListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Columns;
}

QVariant LineListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const LineRow& row = rows_[static_cast<std::size_t>(index.row())];
    const int column = index.column();
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) {
        switch (column) {
            case Number:
                return index.row() + 1;
            case Time:
                return row.time;
            case Letter:
                return row.letter;
            case Body:
                return row.body;
            case Colour:
                return row.colourName;
        }
    }
    if (role == Qt::DecorationRole && column == Number && !row.findings.isEmpty()) {
        return QApplication::style()->standardIcon(row.error ? QStyle::SP_MessageBoxCritical
                                                             : QStyle::SP_MessageBoxWarning);
    }
    if (role == Qt::DecorationRole && column == Colour && row.colour) return *row.colour;
    if (role == Qt::ToolTipRole && !row.findings.isEmpty()) return row.findings;
    if (role == Qt::ForegroundRole && row.dim) return QBrush(QColor(130, 130, 130));
    return {};
}

QVariant LineListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    switch (section) {
        case Number:
            return QStringLiteral("Riga");
        case Time:
            return QStringLiteral("Tempo");
        case Letter:
            return QStringLiteral("Lettera");
        case Body:
            return QStringLiteral("Testo o file");
        case Colour:
            return QStringLiteral("Colore");
    }
    return {};
}

}  // namespace quilo
