#pragma once
// The editor's grid over one table in text form: level, volume and the graph's difference per
// point, and which cells get a red frame. It reads the table and the graph in place, so a
// table of thousands of points costs no copy.
#include <QAbstractTableModel>

namespace tgm {

class FORMA;
class VGRAF;

class PointGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // True for a cell that holds a value the unit cannot take or text that does not convert.
    static constexpr int kRedFrameRole = Qt::UserRole + 1;

    explicit PointGridModel(QObject* parent = nullptr);

    // Shows `table`, prepared by `graph`, anew; nullptr shows nothing. Both stay the caller's.
    void show_table(const FORMA* table, const VGRAF* graph, bool control);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    bool levels_are_indices() const;
    bool differences_shown() const;
    bool marked(int point, int column) const;

    const FORMA* table_ = nullptr;
    const VGRAF* graph_ = nullptr;
    bool control_ = false;
};

} // namespace tgm
