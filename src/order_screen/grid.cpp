#include "order_screen/grid.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <algorithm>

#include "runtime/runtime_error.h"
#include "widgets/contrast.h"
#include "widgets/touch.h"
#include "widgets/twips.h"

namespace order_screen {

namespace {

[[noreturn]] void BadRow() {
    rt::Raise(kInvalidGridIndex, QStringLiteral("Índice de fila no válido"));
}

[[noreturn]] void BadCol() {
    rt::Raise(kInvalidGridIndex, QStringLiteral("Índice de columna no válido"));
}

// Marks a cell whose font was set for the cell itself.
constexpr int kOwnFontRole = Qt::UserRole + 1;

// Paints the current cell in exactly the grid's selection colours, which some
// styles would shade, and without a focus frame: the colour marks it. The
// cells of read-only rows get their own colours and italics, over the
// selection's too.
class CellPainter : public QStyledItemDelegate {
public:
    explicit CellPainter(Grid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem plain(option);
        plain.state.setFlag(QStyle::State_HasFocus, false);
        if (plain.state.testFlag(QStyle::State_Selected)) {
            painter->fillRect(plain.rect, plain.palette.brush(QPalette::Highlight));
            plain.state.setFlag(QStyle::State_Selected, false);
            plain.palette.setColor(QPalette::Text, plain.palette.color(QPalette::HighlightedText));
        }
        QStyledItemDelegate::paint(painter, plain, index);
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (!ReadOnly(index)) return;
        option->font.setItalic(true);
        option->backgroundBrush = grid_->ReadOnlyBack();
        option->palette.setColor(QPalette::Text, grid_->ReadOnlyText());
    }

private:
    bool ReadOnly(const QModelIndex& index) const {
        return grid_->IsReadOnlyRow(index.row()) && index.column() > 0;
    }

    const Grid* grid_;
};

struct VirtualKey {
    int qt;
    int code;
};

// The keys outside the digits, letters and function keys.
constexpr VirtualKey kVirtualKeys[] = {
    {Qt::Key_Backspace, 8}, {Qt::Key_Tab, 9},       {Qt::Key_Backtab, 9},  {Qt::Key_Return, 13},
    {Qt::Key_Enter, 13},    {Qt::Key_Shift, 16},    {Qt::Key_Control, 17}, {Qt::Key_Alt, 18},
    {Qt::Key_Pause, 19},    {Qt::Key_CapsLock, 20}, {Qt::Key_Escape, 27},  {Qt::Key_Space, 32},
    {Qt::Key_PageUp, 33},   {Qt::Key_PageDown, 34}, {Qt::Key_End, 35},     {Qt::Key_Home, 36},
    {Qt::Key_Left, 37},     {Qt::Key_Up, 38},       {Qt::Key_Right, 39},   {Qt::Key_Down, 40},
    {Qt::Key_Insert, 45},   {Qt::Key_Delete, 46},
};

}  // namespace

int VirtualKeyCode(int qtKey, Qt::KeyboardModifiers modifiers) {
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return modifiers.testFlag(Qt::KeypadModifier) ? 96 + (qtKey - Qt::Key_0) : qtKey;
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return qtKey;
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12) return 112 + (qtKey - Qt::Key_F1);
    for (const auto& [key, code] : kVirtualKeys)
        if (key == qtKey) return code;
    return 0;
}

int ShiftState(Qt::KeyboardModifiers modifiers) {
    return (modifiers.testFlag(Qt::ShiftModifier) ? 1 : 0) |
           (modifiers.testFlag(Qt::ControlModifier) ? 2 : 0) |
           (modifiers.testFlag(Qt::AltModifier) ? 4 : 0);
}

Grid::Grid(QWidget* parent)
    : QTableWidget(2, 2, parent),
      fixed_row_(new QTableView(this)),
      empty_area_(palette().color(QPalette::Dark)),
      font_size_(font().pointSizeF() > 0 ? font().pointSizeF() / widgets::LayoutScale() : 9.0),
      largest_font_size_(font_size_) {
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setEditTriggers(NoEditTriggers);
    setSelectionMode(SingleSelection);
    setSelectionBehavior(SelectItems);
    setHorizontalScrollMode(ScrollPerPixel);
    setVerticalScrollMode(ScrollPerPixel);
    setWordWrap(false);
    setItemDelegate(new CellPainter(this));
    SetUpFixedRow();
    FillCells();
    setRowHidden(0, true);  // drawn by fixed_row_ instead
    GrowRows(font_size_);
    SetCurrent(1, 1);
    auto* gestures = new widgets::TouchGestures(this);
    connect(gestures, &widgets::TouchGestures::longPressed, this, [this](QPoint at) {
        if (IsNormalCell(at)) emit LongPressed(indexAt(at).row());
    });
}

void Grid::SetRows(int rows) {
    if (rows < 1) BadRow();
    setRowCount(rows);
    read_only_rows_ = std::min(read_only_rows_, rows - 1);
    FillCells();
    KeepCurrentValid();
}

void Grid::SetCols(int cols) {
    if (cols < 1) BadCol();
    setColumnCount(cols);
    FillCells();
    SyncFixedRowColumns();
    KeepCurrentValid();
}

void Grid::SetRow(int row) {
    CheckRow(row);
    SetCurrent(row, Col());
}

void Grid::SetCol(int col) {
    CheckCol(col);
    SetCurrent(Row(), col);
}

QString Grid::Text() const {
    return CurrentCell()->text();
}

void Grid::SetText(const QString& text) {
    Write(Row(), Col(), text);
}

QString Grid::TextMatrix(int row, int col) const {
    CheckRow(row);
    CheckCol(col);
    return item(row, col)->text();
}

void Grid::SetTextMatrix(int row, int col, const QString& text) {
    CheckRow(row);
    CheckCol(col);
    Write(row, col, text);
}

void Grid::AddItem(const QString& text) {
    const int row = rowCount();
    insertRow(row);
    FillCells();
    const QStringList cells = text.split(QLatin1Char('\t'));
    for (int col = 0; col < cells.size() && col < columnCount(); ++col) Write(row, col, cells[col]);
    KeepCurrentValid();
}

void Grid::RemoveItem(int row) {
    if (row == 0) BadRow();
    CheckRow(row);
    if (IsReadOnlyRow(row)) --read_only_rows_;
    removeRow(row);
    KeepCurrentValid();
}

void Grid::Clear() {
    for (int row = 0; row < rowCount(); ++row)
        for (int col = 0; col < columnCount(); ++col) setItem(row, col, NewCell(row, col));
}

int Grid::TopRow() const {
    int row = rowAt(0);
    if (row < 0) return rowCount() > 1 ? 1 : 0;
    // A row cut by the top edge is not in view; the one below it is.
    if (rowViewportPosition(row) < 0 && row + 1 < rowCount()) ++row;
    return row;
}

void Grid::SetTopRow(int row) {
    if (row == 0) BadRow();
    CheckRow(row);
    executeDelayedItemsLayout();
    updateGeometries();
    // Past the end of its range the scroll bar stops with the last row at the bottom.
    verticalScrollBar()->setValue(verticalHeader()->sectionPosition(row));
}

int Grid::RowsInView() const {
    const int rowHeight = std::max(1, verticalHeader()->defaultSectionSize());
    return std::max(1, viewport()->height() / rowHeight);
}

int Grid::ColWidth(int col) const {
    CheckCol(col);
    if (isColumnHidden(col)) return 0;
    return static_cast<int>(std::lround(columnWidth(col) * widgets::kTwipsPerPixel / widgets::Layout().across));
}

void Grid::SetColWidth(int col, int twips) {
    CheckCol(col);
    const int pixels = widgets::TwipsAcross(std::max(twips, 0));
    for (QTableView* view : {static_cast<QTableView*>(this), fixed_row_}) {
        view->setColumnHidden(col, pixels == 0);
        if (pixels > 0) view->setColumnWidth(col, pixels);
    }
}

void Grid::SetCellFontBold(bool bold) {
    QFont font = CellFont(CurrentCell());
    font.setBold(bold);
    SetCellFont(font);
}

void Grid::SetCellFontSize(double points) {
    QFont font = CellFont(CurrentCell());
    font.setPointSizeF(widgets::ScaledPoints(points));
    SetCellFont(font);
    GrowRows(points);
}

void Grid::SetFontSize(double points) {
    font_size_ = points;
    GrowRows(points);
}

void Grid::SetColors(const QColor& background, const QColor& selectedBack,
                     const QColor& selectedText, const QColor& emptyArea) {
    QPalette colors = palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        colors.setColor(group, QPalette::Base, background);
        colors.setColor(group, QPalette::Highlight, selectedBack);
        colors.setColor(group, QPalette::HighlightedText, selectedText);
    }
    setPalette(colors);
    empty_area_ = emptyArea;
    // Behind the header cells the fixed row shows the empty area too.
    QPalette fixed = fixed_row_->palette();
    fixed.setColor(QPalette::Base, emptyArea);
    fixed_row_->setPalette(fixed);
    viewport()->update();
}

void Grid::SetReadOnlyRows(int count) {
    read_only_rows_ = std::clamp(count, 0, rowCount() - 1);
    viewport()->update();
}

QColor Grid::ReadOnlyBack() const {
    const QColor cells = palette().color(QPalette::Active, QPalette::Base);
    return QColor((cells.red() + empty_area_.red()) / 2, (cells.green() + empty_area_.green()) / 2,
                  (cells.blue() + empty_area_.blue()) / 2);
}

QColor Grid::ReadOnlyText() const {
    return widgets::ShadeReaching(palette().color(QPalette::Active, QPalette::Text), ReadOnlyBack(),
                                  widgets::kTextContrast);
}

void Grid::mousePressEvent(QMouseEvent* event) {
    // Fixed cells, read-only rows and the empty area leave the current cell where it is.
    pressed_on_cell_ =
        event->button() == Qt::LeftButton && IsNormalCell(event->position().toPoint());
    if (pressed_on_cell_)
        QTableWidget::mousePressEvent(event);
    else
        event->accept();
}

void Grid::mouseMoveEvent(QMouseEvent* event) {
    if (IsNormalCell(event->position().toPoint())) QTableWidget::mouseMoveEvent(event);
}

void Grid::mouseReleaseEvent(QMouseEvent* event) {
    QTableWidget::mouseReleaseEvent(event);
    if (pressed_on_cell_ && event->button() == Qt::LeftButton) {
        pressed_on_cell_ = false;
        emit Clicked();
    }
}

// A double tap is two clicks on a touch screen.
void Grid::mouseDoubleClickEvent(QMouseEvent* event) {
    mousePressEvent(event);
}

void Grid::keyPressEvent(QKeyEvent* event) {
    QTableWidget::keyPressEvent(event);
    event->accept();
    emit KeyDown(VirtualKeyCode(event->key(), event->modifiers()), ShiftState(event->modifiers()));
}

// Typing does not jump to a cell that starts with the typed text.
void Grid::keyboardSearch(const QString& search) {
    Q_UNUSED(search);
}

QModelIndex Grid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    const QModelIndex next = QTableWidget::moveCursor(action, modifiers);
    if (next.isValid() && !IsReachable(next.row(), next.column())) return currentIndex();
    return next;
}

void Grid::paintEvent(QPaintEvent* event) {
    {
        QPainter painter(viewport());
        const int cellsRight = horizontalHeader()->length() - horizontalHeader()->offset();
        const int cellsBottom = verticalHeader()->length() - verticalHeader()->offset();
        const QRegion empty = QRegion(viewport()->rect()) - QRegion(0, 0, cellsRight, cellsBottom);
        for (const QRect& rect : empty) painter.fillRect(rect, empty_area_);
    }
    QTableWidget::paintEvent(event);
}

void Grid::updateGeometries() {
    QTableWidget::updateGeometries();
    PlaceFixedRow();
}

bool Grid::IsNormalCell(const QPoint& pos) const {
    const QModelIndex index = indexAt(pos);
    return index.isValid() && IsReachable(index.row(), index.column());
}

void Grid::CheckRow(int row) const {
    if (row < 0 || row >= rowCount()) BadRow();
}

void Grid::CheckCol(int col) const {
    if (col < 0 || col >= columnCount()) BadCol();
}

QTableWidgetItem* Grid::NewCell(int row, int col) const {
    auto* cell = new QTableWidgetItem;
    if (IsFixed(row, col)) {
        cell->setFlags(Qt::ItemIsEnabled);
        cell->setBackground(palette().brush(QPalette::Active, QPalette::Button));
        cell->setForeground(palette().brush(QPalette::Active, QPalette::ButtonText));
    } else {
        cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    }
    return cell;
}

// Every cell holds an item, so that fixed cells are drawn as such and every
// read finds text.
void Grid::FillCells() {
    for (int row = 0; row < rowCount(); ++row)
        for (int col = 0; col < columnCount(); ++col)
            if (item(row, col) == nullptr) setItem(row, col, NewCell(row, col));
}

void Grid::Write(int row, int col, const QString& text) {
    QTableWidgetItem* cell = item(row, col);
    cell->setText(text);
    if (!cell->data(kOwnFontRole).toBool()) {
        QFont font = CellFont(cell);
        font.setPointSizeF(widgets::ScaledPoints(font_size_));
        cell->setFont(font);
    }
}

QTableWidgetItem* Grid::CurrentCell() const {
    return item(Row(), Col());
}

// A cell without a font of its own is drawn in the grid's font.
QFont Grid::CellFont(const QTableWidgetItem* cell) const {
    const QVariant own = cell->data(Qt::FontRole);
    return own.isValid() ? own.value<QFont>() : font();
}

void Grid::SetCellFont(const QFont& font) {
    QTableWidgetItem* cell = CurrentCell();
    cell->setFont(font);
    cell->setData(kOwnFontRole, true);
}

// Setting the current cell from code never scrolls; only the waiter's clicks
// and keys bring the current cell into view.
void Grid::SetCurrent(int row, int col) {
    const bool scroll = hasAutoScroll();
    setAutoScroll(false);
    setCurrentCell(row, col);
    setAutoScroll(scroll);
}

void Grid::KeepCurrentValid() {
    if (currentRow() >= 0 && currentColumn() >= 0) return;
    SetCurrent(rowCount() > 1 ? 1 : 0, columnCount() > 1 ? 1 : 0);
}

void Grid::GrowRows(double points) {
    largest_font_size_ = std::max(largest_font_size_, points);
    QFont largest = font();
    largest.setPointSizeF(widgets::ScaledPoints(largest_font_size_));
    largest.setBold(true);
    // A row is also something a finger presses; the header is not.
    const int header = QFontMetrics(largest).height();
    const int height = std::max(header, widgets::TouchMinimum());
    for (auto [rows, size] : {std::pair{verticalHeader(), height}, std::pair{fixed_row_->verticalHeader(), header}}) {
        if (rows->defaultSectionSize() == size) continue;
        rows->setMinimumSectionSize(1);
        rows->setDefaultSectionSize(size);
    }
    PlaceFixedRow();
}

void Grid::SetUpFixedRow() {
    fixed_row_->setModel(model());
    fixed_row_->horizontalHeader()->hide();
    fixed_row_->verticalHeader()->hide();
    fixed_row_->setFrameShape(QFrame::NoFrame);
    fixed_row_->setFocusPolicy(Qt::NoFocus);
    fixed_row_->setAttribute(Qt::WA_TransparentForMouseEvents);
    fixed_row_->setSelectionMode(NoSelection);
    fixed_row_->setEditTriggers(NoEditTriggers);
    fixed_row_->setAutoScroll(false);
    fixed_row_->setWordWrap(false);
    fixed_row_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fixed_row_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fixed_row_->setHorizontalScrollMode(ScrollPerPixel);
    QPalette fixed = fixed_row_->palette();
    fixed.setColor(QPalette::Base, empty_area_);
    fixed_row_->setPalette(fixed);
    connect(horizontalHeader(), &QHeaderView::sectionResized, fixed_row_,
            [this](int col, int, int size) {
                if (size > 0) fixed_row_->setColumnWidth(col, size);
            });
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, fixed_row_->horizontalScrollBar(),
            &QScrollBar::setValue);
}

void Grid::SyncFixedRowColumns() {
    for (int col = 0; col < columnCount(); ++col) {
        fixed_row_->setColumnHidden(col, isColumnHidden(col));
        if (!isColumnHidden(col)) fixed_row_->setColumnWidth(col, columnWidth(col));
    }
}

void Grid::PlaceFixedRow() {
    const int height = fixed_row_->verticalHeader()->defaultSectionSize();
    if (viewportMargins().top() != height) setViewportMargins(0, height, 0, 0);
    const QRect cells = viewport()->geometry();
    fixed_row_->setGeometry(cells.x(), cells.y() - height, cells.width(), height);
    fixed_row_->horizontalScrollBar()->setValue(horizontalScrollBar()->value());
}

}  // namespace order_screen
