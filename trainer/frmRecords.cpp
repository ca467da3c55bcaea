#include "frmRecords.h"

#include <QChart>
#include <QChartView>
#include <QDateTimeAxis>
#include <QFontDatabase>
#include <QLegendMarker>
#include <QLineSeries>
#include <QListWidget>
#include <QScatterSeries>
#include <QValueAxis>

#include <algorithm>

namespace {
constexpr qreal kListPointSize = 8.25;
constexpr int kWidth = 720;
constexpr int kHeight = 600;
constexpr double kChartShare = 0.6; // of the window's height, above the list
constexpr qreal kReviewMarkerSize = 9.0;
constexpr qsizetype kMarkedSessions = 200;
constexpr qreal kHeadroom = 1.05;                       // above the best session
constexpr qint64 kLoneSessionMargin = 12 * 3600 * 1000; // a single session sits mid-axis
constexpr double kFullShare = 100.0;
} // namespace

frmRecords::frmRecords(QWidget* parent)
    : QDialog(parent), chtScores(new QChartView(this)), lstRecords(new QListWidget(this)),
      lstVisRecords(new QListWidget(this))
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
    lstVisRecords->setUniformItemSizes(true);
    chtScores->setObjectName(QStringLiteral("chtScores"));
    chtScores->setRenderHint(QPainter::Antialiasing);
    resize(kWidth, kHeight);
}

void frmRecords::ShowRecords(const QStringList& keyedLines, qsizetype keyWidth)
{
    lstRecords->addItems(keyedLines);
    for (int i = 0; i < lstRecords->count(); ++i)
        lstVisRecords->addItem(lstRecords->item(i)->text().mid(keyWidth));
}

void frmRecords::ShowProgress(const std::vector<kx::ScorePoint>& sessions, const QString& suite)
{
    QChart* chart = chtScores->chart();
    if (sessions.empty()) {
        chart->setTitle(tr("No sessions of %1 in the log yet").arg(suite));
        chart->legend()->hide();
        return;
    }
    chart->setTitle(tr("Sessions of %1").arg(suite));
    QList<QPointF> ordinary;
    QList<QPointF> reviews;
    QList<QPointF> solved;
    double best = 0.0;
    double worst = 0.0;
    for (const kx::ScorePoint& s : sessions) {
        const auto x = qreal(s.when.toMSecsSinceEpoch());
        (s.review ? reviews : ordinary).append(QPointF(x, s.points));
        solved.append(QPointF(x, s.solvedPercent));
        best = std::max(best, s.points);
        worst = std::min(worst, s.points);
    }

    auto* time = new QDateTimeAxis(chart);
    time->setFormat(QStringLiteral("dd/MM/yy"));
    const QDateTime first = sessions.front().when;
    const QDateTime last = sessions.back().when;
    if (first == last)
        time->setRange(first.addMSecs(-kLoneSessionMargin), last.addMSecs(kLoneSessionMargin));
    else
        time->setRange(first, last);
    auto* points = new QValueAxis(chart);
    points->setTitleText(tr("Points"));
    points->setRange(worst, std::max(best * kHeadroom, 1.0));
    points->applyNiceNumbers();
    points->setLabelFormat(QStringLiteral("%d"));
    auto* share = new QValueAxis(chart);
    share->setTitleText(tr("Solved %"));
    share->setRange(0.0, kFullShare);
    share->setLabelFormat(QStringLiteral("%d"));
    chart->addAxis(time, Qt::AlignBottom);
    chart->addAxis(points, Qt::AlignLeft);
    chart->addAxis(share, Qt::AlignRight);

    auto add = [&](QXYSeries* series, const QString& name, const QList<QPointF>& data,
                   QValueAxis* scale) {
        series->setName(name);
        series->replace(data);
        chart->addSeries(series);
        series->attachAxis(time);
        series->attachAxis(scale);
    };
    auto* sessionLine = new QLineSeries(chart);
    // Marks for each session while they can be told apart.
    sessionLine->setPointsVisible(ordinary.size() <= kMarkedSessions);
    add(sessionLine, tr("Sessions"), ordinary, points);
    auto* reviewMarks = new QScatterSeries(chart);
    reviewMarks->setMarkerSize(kReviewMarkerSize);
    add(reviewMarks, tr("Reviews"), reviews, points);
    auto* shareLine = new QLineSeries(chart);
    QPen dashed = shareLine->pen();
    dashed.setStyle(Qt::DashLine);
    shareLine->setPen(dashed);
    add(shareLine, tr("Solved %"), solved, share);
    // A legend entry for reviews only once there are some.
    if (reviews.isEmpty()) {
        for (QLegendMarker* marker : chart->legend()->markers(reviewMarks))
            marker->setVisible(false);
    }
}

void frmRecords::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    const int chartHeight = int(height() * kChartShare);
    chtScores->setGeometry(0, 0, width(), chartHeight);
    lstVisRecords->setGeometry(0, chartHeight, width(), height() - chartHeight);
}
