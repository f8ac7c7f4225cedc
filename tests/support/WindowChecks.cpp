#include "WindowChecks.h"

#include "platform/widgets/DBGrid.h"

#include <QApplication>
#include <QHeaderView>
#include <QScreen>
#include <QWidget>

namespace testing_support {

void MinimiseAndRestore(QWidget* window)
{
    window->setWindowState(window->windowState() | Qt::WindowMinimized);
    QApplication::processEvents();
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    QApplication::processEvents();
}

::testing::AssertionResult ShowsItsColumns(QWidget* window, widgets::DBGrid* grid)
{
    QApplication::processEvents();
    const int columns = grid->horizontalHeader()->length();
    const int room = grid->viewport()->width();
    const QRect screen = window->screen()->availableGeometry();
    if (!screen.contains(window->frameGeometry()))
        return ::testing::AssertionFailure() << "window " << window->frameGeometry().x() << ".."
                                             << window->frameGeometry().right() << " off a screen of " << screen.width();
    if (columns <= room || window->frameGeometry().width() == screen.width())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "columns " << columns << " px in a grid of " << room << " px, window "
                                         << window->width() << " px wide on a screen of " << screen.width() << " px";
}

} // namespace testing_support
