#include "window/GridScaler.h"

#include "window/ScreenFit.h"

#include <QEvent>
#include <QLayout>
#include <QScrollArea>
#include <QTimer>
#include <algorithm>

QFont GridScaler::scaled(const QFont &base, double scale)
{
    QFont f = base;
    f.setPointSizeF(base.pointSizeF() * scale);
    return f;
}

GridScaler::GridScaler(QWidget *content, QWidget *grid, Apply apply, double smallestFont, QObject *parent)
    : QObject(parent), m_content(content), m_grid(grid), m_area(new QScrollArea), m_apply(std::move(apply)),
      m_smallest(std::min(1.0, SmallestPoints / smallestFont))
{
    m_area->setObjectName(QStringLiteral("WindowScroll"));
    m_area->setFrameShape(QFrame::NoFrame);
    m_area->setWidgetResizable(true);
    m_area->setWidget(m_content);
    m_area->installEventFilter(this);
    m_content->installEventFilter(this);
}

QSize GridScaler::naturalSize()
{
    applyAt(1.0);
    return m_content->sizeHint();
}

void GridScaler::applyAt(double scale)
{
    m_apply(scale);
    m_scale = scale;
    // The layouts keep the sizes they computed last: have them compute the new ones now,
    // so that the sizes asked next are those of this scale.
    if (QLayout *grid = m_grid->layout())
        grid->activate();
    if (QLayout *content = m_content->layout()) {
        content->invalidate();
        content->activate();
    }
}

bool GridScaler::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_area && event->type() == QEvent::Resize)
        refit();
    // Once shown (the first resize comes before), and when the rest of the content
    // changed its height: fit once the layout has settled.
    else if ((watched == m_area && event->type() == QEvent::Show) || (watched == m_content && event->type() == QEvent::LayoutRequest))
        queueRefit();
    return QObject::eventFilter(watched, event);
}

void GridScaler::queueRefit()
{
    if (m_refitQueued)
        return;
    m_refitQueued = true;
    QTimer::singleShot(0, this, [this] {
        m_refitQueued = false;
        refit();
    });
}

QSize GridScaler::room() const
{
    const QSize viewport = m_area->maximumViewportSize();
    const QMargins margins = m_content->layout() ? m_content->layout()->contentsMargins() : QMargins();
    const int rest = m_content->sizeHint().height() - m_grid->sizeHint().height();
    return {viewport.width() - margins.left() - margins.right(), viewport.height() - rest};
}

QSize GridScaler::sizeAt(double scale)
{
    applyAt(scale);
    return m_grid->sizeHint();
}

void GridScaler::refit()
{
    if (m_fitting || !m_area->isVisible())
        return;
    const QSize fits = room();
    // Fitting sets sizes, and the layout requests that follow come back here:
    // the same room with the grid as it was fitted needs no new fit. Without
    // this a scale found by stepping down below the estimate is estimated and
    // stepped down again for ever.
    if (m_measured && fits == m_fittedRoom && m_scale == m_fittedScale && m_grid->sizeHint() == m_fittedGrid)
        return;
    m_fitting = true;
    const double before = m_scale;
    if (!m_measured) {
        const QSize one = sizeAt(1.0);
        m_perUnit = sizeAt(2.0) - one;
        m_fixed = one - m_perUnit;
        m_measured = true;
    }
    const auto largestFor = [](int room, int fixed, int perUnit) { return perUnit > 0 ? double(room - fixed) / perUnit : Largest; };
    double scale = std::min(largestFor(fits.width(), m_fixed.width(), m_perUnit.width()),
                            largestFor(fits.height(), m_fixed.height(), m_perUnit.height()));
    scale = std::clamp(scale, m_smallest, Largest);
    // Fonts do not grow quite in proportion: check, and step down where the grid is still too large.
    for (int i = 0; i < 6; ++i) {
        const QSize got = m_scale == scale ? m_grid->sizeHint() : sizeAt(scale);
        if ((got.width() <= fits.width() && got.height() <= fits.height()) || scale <= m_smallest)
            break;
        scale = std::max(m_smallest, scale - 0.02);
    }
    if (m_scale != scale)
        sizeAt(scale);
    m_fittedRoom = fits;
    m_fittedScale = m_scale;
    m_fittedGrid = m_grid->sizeHint();
    m_fitting = false;
    if (before != m_scale)
        m_content->updateGeometry();
}

void GridScaler::growWindow()
{
    QWidget *window = m_area->window();
    if (!m_area->isVisible() || window->isMaximized() || window->isFullScreen()) {
        refit();
        return;
    }
    const double shown = m_scale;
    const QSize natural = naturalSize();
    applyAt(shown);
    const QSize missing = (natural - m_area->maximumViewportSize()).expandedTo(QSize(0, 0));
    if (missing.width() > 0 || missing.height() > 0)
        ScreenFit::growWithin(window, window->size() + missing);
    refit();
}
