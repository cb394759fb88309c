#pragma once
// The accessibility guard for every window: walks the widgets under a root and reports
//   - every focusable control without an accessible name (its own, its button caption, or the
//     text of a label that is its buddy, as a screen reader gets it through "labelled-by");
//   - every label that sits right beside or right above a control without a caption of its own
//     in the same container and is not that control's buddy, unless the control's name carries
//     the label's text (a row or column heading of a grid, as in "AIN3 AIN+"). Labels that show
//     a value (they have a name of their own, or another label names them) name nothing;
//   - every text shown on the screen (a label's, an edit's, a list's current entry, a caption)
//     that a screen reader cannot read: it must appear in its object's accessible name, value
//     or text. A value label named only by its row ("Std dev") hides its value ("2.000").
// It also counts the accessible objects named "Chart".
//
// Use: show the window (and the page whose controls should be seen: hidden widgets are
// skipped), then
//     const AccessibilityReport report = WalkAccessibility(&window);
//     EXPECT_TRUE(report.violations.isEmpty()) << report.describe();
//     EXPECT_GT(report.checked, 0);
// Walk once per tab or page; add up report.checked for the count of controls checked.

#include <QStringList>

#include <string>

class QWidget;

struct AccessibilityReport {
    int checked = 0;       // focusable controls looked at
    int labelsChecked = 0; // labels looked at
    int textsChecked = 0;  // shown texts looked at
    int namedChart = 0;    // widgets whose accessible name is "Chart"
    QStringList violations;

    // The violations, one a line, for a test's failure message.
    std::string describe() const;
};

AccessibilityReport WalkAccessibility(QWidget *root);

// The name a screen reader announces for a control, or an empty string.
QString AccessibleNameOf(QWidget *control);
