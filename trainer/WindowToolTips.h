#pragma once

class QWidget;

/// Gives the main window's settings, buttons and boxes their tooltips, in
/// plain words, by element name.
void SetWindowToolTips(QWidget& window);
