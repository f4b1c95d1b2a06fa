#pragma once
#include <QFont>
#include <QObject>
#include <QSize>
#include <functional>

class QScrollArea;
class QWidget;

/// A grid of counts that grows and shrinks with its window. The window's
/// content stands in a scroll area; the grid, a widget inside the content,
/// takes the largest scale at which it fits the room the rest of the content
/// leaves it, between the scale of the smallest readable font and Largest.
/// Where even that does not fit, the content scrolls.
class GridScaler : public QObject {
    Q_OBJECT
public:
    /// The largest scale, of the desktop's font.
    static constexpr double Largest = 2.0;
    /// No font of a grid is ever smaller than this (points).
    static constexpr double SmallestPoints = 7.0;

    /// `base` at `scale` times its size.
    static QFont scaled(const QFont &base, double scale);

    /// Sets every font and size of the grid for a scale (1: as designed).
    using Apply = std::function<void(double scale)>;
    /// `content` goes into area(), which the window shows; `grid` lies in
    /// `content`. `smallestFont`: the point size of the grid's smallest font
    /// at scale 1.
    GridScaler(QWidget *content, QWidget *grid, Apply apply, double smallestFont, QObject *parent = nullptr);

    QScrollArea *area() const { return m_area; }
    double scale() const { return m_scale; }
    /// The smallest scale the grid takes (its smallest font at SmallestPoints).
    double smallest() const { return m_smallest; }
    /// The content's size at scale 1. The grid is left at scale 1.
    QSize naturalSize();
    /// Fits the grid to the room it has again; refit() follows every resize
    /// of the window and every change of the content's layout by itself.
    void refit();
    /// What the grid holds has changed its width: measure it anew at the next fit.
    void invalidate() { m_measured = false; }
    /// After invalidate(): the window grows where the content at scale 1 needs
    /// more room than it has, as far as the screen allows (never smaller, and
    /// not while maximized), and the grid fits again.
    void growWindow();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void queueRefit();
    /// Applies `scale` and has the layouts take its sizes.
    void applyAt(double scale);
    /// The room the rest of the content leaves the grid at the area's full size.
    QSize room() const;
    /// The grid's size at `scale`, which it is left at.
    QSize sizeAt(double scale);

    QWidget *m_content;
    QWidget *m_grid;
    QScrollArea *m_area;
    Apply m_apply;
    double m_smallest;
    double m_scale = 0;
    bool m_fitting = false;
    bool m_refitQueued = false;
    // The grid's size as a linear function of its scale: fixed + scale * perUnit.
    bool m_measured = false;
    QSize m_fixed;
    QSize m_perUnit;
    // What the last fit was made for, and what it left.
    QSize m_fittedRoom;
    double m_fittedScale = 0;
    QSize m_fittedGrid;
};
