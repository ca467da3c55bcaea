#pragma once

#include <QWidget>

#include <memory>

class QLabel;
class QLineEdit;
class ReadingProgress;

namespace kx {
class Suite;
struct LastChoices;
} // namespace kx

/*
 * The row of the main window that says how many positions the chosen suite
 * has and, for a puzzle collection with ratings and themes, lets the user
 * train on part of it: a rating range and theme words, with the number of
 * puzzles that match. It hands the filter to the suite, which draws only
 * matching puzzles, and shows the suite's long readings on the window. The
 * filter is one of the choices kept for the next start.
 */
class SuiteFilterPanel : public QWidget
{
    Q_OBJECT

public:
    explicit SuiteFilterPanel(QWidget* parent);
    ~SuiteFilterPanel() override;

    /// Works for suite from now on: its readings show on this panel's window
    /// and its filter comes from here.
    void Attach(kx::Suite& suite);
    /// Takes the filter kept from the last start.
    void Restore(const kx::LastChoices& last);
    /// Puts the filter into the choices kept for the next start.
    void Keep(kx::LastChoices& choices) const;
    /// The boxes, in reading order, for the window's Tab order.
    QList<QWidget*> boxes() const;
    /// The suite has been opened or another chosen: shows whether it can be
    /// filtered and how many positions it offers (applying the filter when
    /// it has not been, which may read the whole file).
    void Refresh();

private:
    void filterEdited();

    QLineEdit* txtRatingFrom = nullptr;
    QLineEdit* txtRatingTo = nullptr;
    QLineEdit* txtThemes = nullptr;
    QLabel* lblMatching = nullptr;
    kx::Suite* m_suite = nullptr;
    std::unique_ptr<ReadingProgress> m_progress;
};
