#include "browser/CalendarPage.h"

#include "browser/DateTreeModel.h"
#include "browser/ListRows.h"
#include "browser/OccurrenceEditor.h"
#include "browser/RepeatPage.h"
#include "controls/Pictures.h"
#include "platform/MessageBox.h"
#include "ui_CalendarPage.h"

#include <QKeyEvent>
#include <QResizeEvent>
#include <QTabBar>

namespace {

// Keeps the selection as visible without the focus as with it.
void KeepSelectionVisible(QWidget* view)
{
    QPalette palette = view->palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    view->setPalette(palette);
}

void SetGlyph(TBitBtnXP* button, const char* file)
{
    const QPixmap glyph = Picture(file);
    button->setNumGlyphs(2);
    if (!glyph.isNull())
        button->setGlyph(glyph);
}

} // namespace

TCalendarPage::TCalendarPage(CalendarGrid& grid, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::TCalendarPage>()), m_grid(grid),
      m_treeModel(new DateTreeModel(grid, this)), m_repeatPage(new RepeatPage),
      m_occurrences(new OccurrenceEditor(grid, *m_repeatPage, this))
{
    ui->setupUi(this);
    SetUpControls();
    ConnectHandlers();
    SetUpOccurrences();
}

void TCalendarPage::SetUpOccurrences()
{
    // Every letter of "Wiederholung" is another control's key already.
    ui->PageControl1->addTab(m_repeatPage, RepeatPage::tr("Wieder&kehr"));
    m_occurrences->refill = [this] { ShowInformation(); };
    m_occurrences->selectRow = [this](int row) {
        if (row >= 0 && row < ui->ListView1->topLevelItemCount())
            ui->ListView1->setCurrentItem(ui->ListView1->topLevelItem(row));
    };
    m_occurrences->saveNow = [this] {
        if (saveNow)
            saveNow();
    };
    m_occurrences->appointmentEdited = [this](std::uint32_t id, bool added) {
        if (appointmentEdited)
            appointmentEdited(id, added ? Edit::Added : Edit::Deleted);
    };
}

void TCalendarPage::setSeries(dw::series::SeriesSet* series, std::function<void()> changed)
{
    m_occurrences->setSeries(series, std::move(changed));
    ShowInformation();
}

TCalendarPage::~TCalendarPage() = default;

void TCalendarPage::SetUpControls()
{
    ui->TreeView1->setModel(m_treeModel);
    ui->TreeView1->setIconSize(QSize(16, 16));
    KeepSelectionVisible(ui->TreeView1);
    KeepSelectionVisible(ui->ListView1);

    ui->Splitter1->setStretchFactor(0, 0);
    ui->Splitter1->setStretchFactor(1, 1);
    ui->Splitter1->setSizes({201, 410});
    ui->ListView1->setColumnWidth(0, 75);
    ui->ListView1->setColumnWidth(1, 325);

    SetGlyph(ui->AddTerminBtn, "btn_add.bmp");
    SetGlyph(ui->DelTerminBtn, "btn_delete.bmp");
    SetGlyph(ui->UpBtn, "btn_up.bmp");
    SetGlyph(ui->ClearLastBtn, "btn_clearlast.bmp");
    ui->PageControl1->setTabIcon(0, PictureIcon("tab_termine.bmp"));
    ui->PageControl1->setTabIcon(1, PictureIcon("tab_einstellungen.bmp"));

    ui->hour->setRange(0, 23);
    ui->min->setRange(0, 59);
    ui->hour1->setRange(0, 23);
    ui->min1->setRange(0, 59);
    ui->hour2->setRange(0, 23);
    ui->min2->setRange(0, 59);
    // The fields start with the values of a new appointment.
    ui->hour->setValue(12);
    ui->day1->setValue(3);
    ui->day2->setValue(1);

    // This tab bar is taller than a native one; the pages keep the room their fields need.
    ui->Panel12->setFixedHeight(qMax(131, ui->PageControl1->tabBar()->sizeHint().height() + 108));
    ui->Panel12->setVisible(false);
    ui->TabSheet3->installEventFilter(this);
    ui->ListView1->installEventFilter(this);
}

void TCalendarPage::ConnectHandlers()
{
    connect(ui->TreeView1->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TCalendarPage::TreeView1Change);
    connect(ui->UpBtn, &QPushButton::clicked, this, &TCalendarPage::UpBtnClick);
    connect(ui->ListView1, &QTreeWidget::itemSelectionChanged, this, &TCalendarPage::ListView1Change);
    connect(ui->ListView1, &QTreeWidget::currentItemChanged, this, &TCalendarPage::ListView1Change);
    connect(ui->ListView1, &QTreeWidget::doubleClicked, this, &TCalendarPage::ListView1DblClick);
    connect(ui->AddTerminBtn, &QPushButton::clicked, this, &TCalendarPage::AddTerminBtnClick);
    connect(ui->DelTerminBtn, &QPushButton::clicked, this, &TCalendarPage::DelTerminBtnClick);

    connect(ui->NameEd, &QLineEdit::textChanged, this, &TCalendarPage::NameEdChange);
    connect(ui->DescEd, &QPlainTextEdit::textChanged, this, &TCalendarPage::DescEdChange);
    connect(ui->hour, &SpinEdit::changed, this, &TCalendarPage::hourChange);
    connect(ui->min, &SpinEdit::changed, this, &TCalendarPage::minChange);
    for (SpinEdit* field : {ui->day1, ui->hour1, ui->min1})
        connect(field, &SpinEdit::changed, this, &TCalendarPage::day1Change);
    for (SpinEdit* field : {ui->day2, ui->hour2, ui->min2})
        connect(field, &SpinEdit::changed, this, &TCalendarPage::day2Change);
    connect(ui->doneCheck, &QCheckBox::toggled, this, &TCalendarPage::doneCheckClick);
    connect(ui->ClearLastBtn, &QPushButton::clicked, this, &TCalendarPage::ClearLastBtnClick);
}

bool TCalendarPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->ListView1 && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        DelTerminBtnClick();
        return true;
    }
    if (watched == ui->TabSheet3 && event->type() == QEvent::Resize) {
        // Name and description keep their right edge 8 pixels from the page's.
        const int width = qMax(100, static_cast<QResizeEvent*>(event)->size().width() - 80 - 8);
        ui->NameEd->resize(width, ui->NameEd->height());
        ui->DescEd->resize(width, ui->DescEd->height());
    }
    return QWidget::eventFilter(watched, event);
}

void TCalendarPage::ShowAll()
{
    ui->TreeView1->setUpdatesEnabled(false);
    FillWeekdays(m_grid);
    m_treeModel->Build();
    ui->TreeView1->setUpdatesEnabled(true);
}

void TCalendarPage::SetInitialPosition(dw::TDateTime today)
{
    ui->TreeView1->expand(m_treeModel->IndexOfKey(0));
    const QDate date = dw::ToQDate(today);
    if (date.year() < CalendarGrid::FirstYear || date.year() > CalendarGrid::LastYear)
        return;
    ui->TreeView1->expand(m_treeModel->IndexOfKey(MakeKey(date.year())));
    ui->TreeView1->expand(m_treeModel->IndexOfKey(MakeKey(date.year(), date.month())));
    SelectNode(MakeKey(date.year(), date.month(), date.day()));
}

std::optional<quint32> TCalendarPage::SelectedKey() const
{
    const QModelIndexList selected = ui->TreeView1->selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return std::nullopt;
    return DateTreeModel::KeyOf(selected.first());
}

void TCalendarPage::SelectNode(quint32 key)
{
    const QModelIndex index = m_treeModel->IndexOfKey(key);
    if (!index.isValid())
        return;
    for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent())
        ui->TreeView1->expand(parent);
    ui->TreeView1->setCurrentIndex(index);
    ui->TreeView1->scrollTo(index);
}

void TCalendarPage::TreeView1Change()
{
    const std::optional<quint32> key = SelectedKey();
    m_treeModel->setSelectedKey(key);
    ShowInformation();
    ui->UpBtn->setEnabled(key && *key != 0);
}

void TCalendarPage::UpBtnClick()
{
    const std::optional<quint32> key = SelectedKey();
    if (!key || *key == 0)
        return;
    SelectNode(DateTreeModel::KeyOf(m_treeModel->IndexOfKey(*key).parent()));
}

void TCalendarPage::RefreshList()
{
    QTreeWidget* list = ui->ListView1;
    int row = list->currentItem() ? list->indexOfTopLevelItem(list->currentItem()) : -1;
    const std::uint32_t shown = m_shownId;
    ShowInformation();
    if (shown != 0) {
        // The change may have deleted rows above it, or moved it to another day.
        CalendarGrid::Place place;
        const DateKey day = DecodeKey(SelectedKey().value_or(0));
        const bool here = m_grid.Find(shown, &place) && place.year == day.year && place.month == day.month &&
                          place.day == day.day;
        row = here ? place.index : -1;
    }
    if (row >= 0 && row < list->topLevelItemCount())
        list->setCurrentItem(list->topLevelItem(row));
}

void TCalendarPage::ShowInformation()
{
    const std::optional<quint32> key = SelectedKey();
    if (!key)
        return;
    const ListContent content = ListRowsFor(m_grid, *key, m_occurrences->series());
    m_occurrences->setDay(content.level == NodeLevel::Day ? std::optional(DecodeKey(*key)) : std::nullopt,
                          content.occurrences);
    QTreeWidget* list = ui->ListView1;
    list->setUpdatesEnabled(false);
    list->clear();
    ui->RxLabel3->setText(content.header);
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(content.rows.size()));
    for (const ListRow& row : content.rows) {
        auto* item = new QTreeWidgetItem(QStringList{row.when, row.what});
        if (row.node)
            item->setData(0, NodeKeyRole, *row.node);
        if (row.occurrence)
            OccurrenceEditor::MarkRow(item);
        items.append(item);
    }
    list->addTopLevelItems(items);
    const bool dayLevel = content.level == NodeLevel::Day;
    ui->AddTerminBtn->setEnabled(dayLevel);
    ui->DelTerminBtn->setEnabled(dayLevel && FirstSelectedRow() >= 0);
    list->setUpdatesEnabled(true);
    // Nothing is selected after a refill: the edit pages go.
    ListView1Change();
}

int TCalendarPage::FirstSelectedRow() const
{
    int first = -1;
    const QModelIndexList rows = ui->ListView1->selectionModel()->selectedRows();
    for (const QModelIndex& row : rows)
        if (first < 0 || row.row() < first)
            first = row.row();
    return first;
}

QTreeWidgetItem* TCalendarPage::FirstSelectedItem() const
{
    const int row = FirstSelectedRow();
    return row < 0 ? nullptr : ui->ListView1->topLevelItem(row);
}

bool TCalendarPage::IsTerminSelected()
{
    SelectedAppointment = nullptr;
    m_occurrenceRow = -1;
    const std::optional<quint32> key = SelectedKey();
    const int row = FirstSelectedRow();
    if (!key || row < 0)
        return false;
    const DateKey date = DecodeKey(*key);
    if (date.level() != NodeLevel::Day)
        return false;
    DayList& day = m_grid.Day(date.year, date.month, date.day);
    if (static_cast<std::uint32_t>(row) >= day.count()) {
        // The rows after the day's appointments are occurrences of series.
        m_occurrenceRow = row - static_cast<int>(day.count());
        SelectedAppointment = m_occurrences->Select(m_occurrenceRow);
        return SelectedAppointment != nullptr;
    }
    m_occurrences->Select(-1);
    SelectedAppointment = static_cast<Appointment*>(day.Items->GoTo(row));
    return true;
}

void TCalendarPage::ListView1Change()
{
    const bool selected = IsTerminSelected();
    // Remembered by its id: a change from outside may move its row. An
    // occurrence of a series has none; its row follows the day's appointments.
    m_shownId = 0;
    if (const std::optional<quint32> key = SelectedKey(); selected && key && m_occurrenceRow < 0) {
        const DateKey date = DecodeKey(*key);
        m_shownId = m_grid.IdOf(date.year, date.month, date.day, FirstSelectedRow());
    }
    ui->DelTerminBtn->setEnabled(selected);
    ui->Panel12->setVisible(selected);
    if (!selected)
        return;
    const int occurrence = m_occurrenceRow;
    const int row = FirstSelectedRow();
    ShowAppointment(*SelectedAppointment);
    if (occurrence >= 0)
        m_occurrences->ShowRepeatForOccurrence(occurrence);
    else
        m_occurrences->ShowRepeatForAppointment(row);
}

void TCalendarPage::ListView1DblClick()
{
    const QTreeWidgetItem* item = FirstSelectedItem();
    if (!item)
        return;
    const QVariant node = item->data(0, NodeKeyRole);
    if (node.isValid())
        SelectNode(node.toUInt());
}

void TCalendarPage::AddTerminBtnClick()
{
    const std::optional<quint32> key = SelectedKey();
    if (!key)
        return;
    const DateKey date = DecodeKey(*key);
    if (date.level() == NodeLevel::Day && !m_grid.NewAppointment(date.year, date.month, date.day)) {
        // Out of memory (the user has been told): nothing was added, so no row
        // may be taken for the new one and there is nothing to write.
        ShowInformation();
        return;
    }
    if (date.level() == NodeLevel::Day)
        TellEdit(date, static_cast<int>(m_grid.Day(date.year, date.month, date.day).count()) - 1,
                 Edit::Added);
    ShowInformation();
    // The new appointment is the day's last; the occurrences of series follow it.
    QTreeWidget* list = ui->ListView1;
    const int last = date.level() == NodeLevel::Day
                         ? static_cast<int>(m_grid.Day(date.year, date.month, date.day).count()) - 1
                         : list->topLevelItemCount() - 1;
    if (last >= 0 && last < list->topLevelItemCount())
        list->setCurrentItem(list->topLevelItem(last));
    if (ui->PageControl1->currentIndex() == 0 && ui->Panel12->isVisibleTo(this)) {
        ui->NameEd->setFocus(Qt::OtherFocusReason);
        ui->NameEd->selectAll();
    }
    if (saveNow)
        saveNow();
}

void TCalendarPage::TellEdit(const DateKey& date, int index, Edit edit)
{
    if (appointmentEdited)
        appointmentEdited(m_grid.IdOf(date.year, date.month, date.day, index), edit);
}

void TCalendarPage::DelTerminBtnClick()
{
    const std::optional<quint32> key = SelectedKey();
    if (!key || FirstSelectedRow() < 0)
        return;
    const DateKey date = DecodeKey(*key);
    if (date.level() != NodeLevel::Day)
        return;
    const auto count = static_cast<int>(m_grid.Day(date.year, date.month, date.day).count());
    std::vector<int> occurrences;
    QTreeWidget* list = ui->ListView1;
    for (int row = count; row < count + m_occurrences->rowCount() && row < list->topLevelItemCount(); ++row)
        if (list->topLevelItem(row)->isSelected())
            occurrences.push_back(row - count);
    // Occurrences of series are asked about as calendar programs ask, which is also the confirmation.
    std::optional<bool> alone;
    if (!occurrences.empty()) {
        alone = m_occurrences->AskDeleteAlone();
        if (!alone)
            return;
    } else if (dw::MessageBoxA(tr("Wollen Sie die markierten Termine wirklich unwiderruflich löschen?"),
                               tr("Termine löschen"),
                               dw::MB_YESNOCANCEL | dw::MB_ICONQUESTION) != dw::mrYes) {
        return;
    }
    DeleteSelectedRows(date);
    if (alone)
        m_occurrences->DeleteOccurrences(occurrences, *alone);
    ShowInformation();
    if (saveNow)
        saveNow();
}

void TCalendarPage::DeleteSelectedRows(const DateKey& date)
{
    const DayList& day = m_grid.Day(date.year, date.month, date.day);
    QTreeWidget* list = ui->ListView1;
    // From the last row up, so the rows still to be visited keep their indexes.
    for (int row = list->topLevelItemCount() - 1; row >= 0; --row) {
        if (!list->topLevelItem(row)->isSelected() || static_cast<std::uint32_t>(row) >= day.count())
            continue;
        const std::uint32_t id = appointmentEdited ? m_grid.IdOf(date.year, date.month, date.day, row) : 0;
        if (m_grid.DeleteAppointment(date.year, date.month, date.day, row) && appointmentEdited)
            appointmentEdited(id, Edit::Deleted);
    }
}
