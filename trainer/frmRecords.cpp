#include "frmRecords.h"

#include <QFontDatabase>
#include <QListWidget>

namespace {
constexpr qreal kListPointSize = 8.25;
constexpr int kWidth = 720;
constexpr int kHeight = 360;
} // namespace

frmRecords::frmRecords(QWidget* parent)
    : QDialog(parent), lstRecords(new QListWidget(this)), lstVisRecords(new QListWidget(this))
{
    setObjectName(QStringLiteral("frmRecords"));
    setWindowTitle(QStringLiteral("Form1"));
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSizeF(kListPointSize);
    for (QListWidget* list : {lstRecords, lstVisRecords})
        list->setFont(fixed);
    lstRecords->setObjectName(QStringLiteral("lstRecords"));
    lstRecords->setSortingEnabled(true);
    lstRecords->hide();
    lstVisRecords->setObjectName(QStringLiteral("lstVisRecords"));
    resize(kWidth, kHeight);
}

void frmRecords::ShowRecords(const QStringList& keyedLines, qsizetype keyWidth)
{
    lstRecords->addItems(keyedLines);
    for (int i = 0; i < lstRecords->count(); ++i)
        lstVisRecords->addItem(lstRecords->item(i)->text().mid(keyWidth));
}

void frmRecords::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    lstVisRecords->setGeometry(0, 0, width(), height());
}
