#include "SuiteFilterPanel.h"

#include "LastChoices.h"
#include "ReadingProgress.h"
#include "Suite.h"

#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>

namespace {

constexpr int kHighestRating = 9999;
constexpr int kRatingBoxWidth = 48; // pixels: four digits and the frame
constexpr int kSpacing = 4;

} // namespace

SuiteFilterPanel::SuiteFilterPanel(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("fraSuiteFilter"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(kSpacing);
    const auto label = [this, row](const char* name, const QString& caption, const char* tip) {
        auto* l = new QLabel(caption, this);
        l->setObjectName(QLatin1String(name));
        l->setToolTip(tr(tip));
        row->addWidget(l);
        return l;
    };
    const auto box = [this, row](const char* name, const char* tip) {
        auto* b = new QLineEdit(this);
        b->setObjectName(QLatin1String(name));
        b->setToolTip(tr(tip));
        row->addWidget(b);
        connect(b, &QLineEdit::editingFinished, this, &SuiteFilterPanel::filterEdited);
        return b;
    };
    constexpr const char* kFromTip =
        "Train only on puzzles rated at least this (puzzle collections in CSV); empty for no "
        "lower limit";
    constexpr const char* kToTip =
        "Train only on puzzles rated at most this (puzzle collections in CSV); empty for no "
        "upper limit";
    constexpr const char* kThemesTip =
        "Train only on puzzles that carry every one of these theme words, for example "
        "\"fork endgame\" (puzzle collections in CSV)";
    label("lblRating", tr("Rating"), kFromTip);
    txtRatingFrom = box("txtRatingFrom", kFromTip);
    label("lblRatingTo", tr("to"), kToTip);
    txtRatingTo = box("txtRatingTo", kToTip);
    label("lblThemes", tr("Themes"), kThemesTip);
    txtThemes = box("txtThemes", kThemesTip);
    row->setStretchFactor(txtThemes, 1);
    lblMatching =
        label("lblMatching", QString(), "How many positions of the suite a session draws from");
    for (QLineEdit* rating : {txtRatingFrom, txtRatingTo}) {
        rating->setValidator(new QIntValidator(0, kHighestRating, rating));
        rating->setFixedWidth(kRatingBoxWidth);
    }
}

SuiteFilterPanel::~SuiteFilterPanel() = default;

QList<QWidget*> SuiteFilterPanel::boxes() const
{
    return {txtRatingFrom, txtRatingTo, txtThemes};
}

void SuiteFilterPanel::Attach(kx::Suite& suite)
{
    m_suite = &suite;
    m_progress = std::make_unique<ReadingProgress>(window());
    suite.setProgress([this](const QString& what, qint64 done, qint64 total) {
        return (*m_progress)(what, done, total);
    });
    filterEdited();
}

void SuiteFilterPanel::Restore(const kx::LastChoices& last)
{
    txtRatingFrom->setText(last.ratingFrom);
    txtRatingTo->setText(last.ratingTo);
    txtThemes->setText(last.themes);
    filterEdited();
}

void SuiteFilterPanel::Keep(kx::LastChoices& choices) const
{
    choices.ratingFrom = txtRatingFrom->text();
    choices.ratingTo = txtRatingTo->text();
    choices.themes = txtThemes->text().simplified();
}

void SuiteFilterPanel::filterEdited()
{
    const kx::PuzzleFilter filter =
        kx::ReadPuzzleFilter(txtRatingFrom->text(), txtRatingTo->text(), txtThemes->text());
    // A range typed backwards is shown the way round it is read.
    txtRatingFrom->setText(filter.ratingFrom ? QString::number(*filter.ratingFrom) : QString());
    txtRatingTo->setText(filter.ratingTo ? QString::number(*filter.ratingTo) : QString());
    if (!m_suite || filter == m_suite->filter())
        return;
    m_suite->setFilter(filter);
    Refresh();
}

void SuiteFilterPanel::Refresh()
{
    const bool open = m_suite && m_suite->isOpen();
    const bool filterable = open && m_suite->filterable();
    for (QWidget* w : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (w != lblMatching)
            w->setEnabled(filterable);
    }
    if (!open) {
        lblMatching->clear();
        return;
    }
    const qint32 positions = m_suite->positions();
    if (!m_suite->filtered()) {
        lblMatching->setText((filterable ? tr("%1 puzzles") : tr("%1 positions")).arg(positions));
        return;
    }
    const kx::Result<qint32> matching = m_suite->Drawable(m_suite->size());
    lblMatching->setText(matching ? tr("%1 of %2 puzzles match").arg(*matching).arg(positions)
                                  : tr("filter applied at Start"));
}
