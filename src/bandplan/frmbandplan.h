#pragma once
#include "bandplan/bandplan.h"

#include <QDialog>
#include <QHash>

class Dialogs;
class QFrame;
class QLabel;
class QPushButton;

// `frmBandPlan`, "Frequency Privileges": one licence class's segments per band, a row per band
// built from labels created at run time ("blbl" row bars, "bnlb" band names, "priv" segments).
class frmBandPlan : public QDialog {
    Q_OBJECT
public:
    static inline const QString kNoDataText = QStringLiteral("Band data not available.");
    static inline const QString kNoDataTitle = QStringLiteral("Band Data Not Available.");

    frmBandPlan(const QString &bandPlanPath, Dialogs &dialogs, QWidget *parent = nullptr);

    void fitToWorkArea();
    // Reads the file and shows the Extra class; on failure says so and stays empty.
    void loadPlan();
    // `DrawPrivileges`: removes the previous class's labels and draws `classCode`.
    void drawPrivileges(const QString &classCode);
    QString currentClass() const { return m_class; }
    const BandPlan &plan() const { return m_plan; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void layoutFixedControls();
    void removeDrawing();
    QRect design(int left, int top, int width, int height) const;
    double fontRatio() const;
    double screenFactor() const;

    QString m_path;
    Dialogs &m_dialogs;
    BandPlan m_plan;
    QString m_class;
    bool m_redrawing = false;
    QLabel *m_label1, *m_label2, *m_label3, *m_label4;
    QFrame *m_line1;
    QList<QPushButton *> m_buttons;  // Command1..Command7
};

// Opens the window modally over `parent`; `bandPlanPath` is "BandPlan.txt" in the working
// directory.
void showPrivileges(QWidget *parent, const QString &bandPlanPath, Dialogs &dialogs);
