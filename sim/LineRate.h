#pragma once
// Line settings of a tty through the termios2 ioctls, so that any integer baud rate
// (14400, 56000, 128000, ...) is read and set exactly instead of as a Bxxx code.
// Kept in its own file because <asm/termbits.h> clashes with <termios.h>.

namespace stavo::sim {

// Output rate currently set on the tty behind fd (for a pty master: the slave's
// settings, i.e. what the program chose); 0 when it cannot be read.
int readLineRate(int fd);

// Sets fd to raw 8N1 without flow control at the given rate (input and output).
bool setRawLine(int fd, int baud);

// Keeps the current mode and only changes the rate.
bool setLineRate(int fd, int baud);

// Discards input waiting on fd (what a program does when it opens a port).
bool flushInput(int fd);

// Sets or clears EXTPROC on the tty so that a master in packet mode is told of
// every later change of the line settings.
bool setExtProc(int fd, bool on);

}  // namespace stavo::sim
