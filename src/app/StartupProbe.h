#pragma once

class QElapsedTimer;
class QWidget;

// Start-up measuring for the real-window test and the start-up benchmark.
// With LAPORA_QUIT_AFTER_SHOW_MS set, prints "painted <ms> ms" on standard
// output once the window has first been painted (ms counted by the timer,
// started at the top of main), and closes the window that many
// milliseconds later, as the user would. Without the variable it does
// nothing.
void watchFirstPaint(QWidget* window, const QElapsedTimer& sinceStart);
