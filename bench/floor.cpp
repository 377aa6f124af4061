// The floor for the running game's figures: the least a Qt 6 Widgets program does to show the
// same window. It has the game window's size and kinds of controls (a menu bar, a check box,
// labels, three sliders, two buttons and a playfield) and draws the same 59 x 47 grid with
// QPainter, one fillRect a tile, in the colours the game's window shows: black border walls, a
// blue ball, green goals. The ball moves one cell every PERIOD ms, bouncing off the walls; when
// PERIOD is shorter than a frame the program wakes once a frame and moves the ball by as many
// cells as are due. The wall cell follows the pointer. Each paint covers only the cells that
// changed, as the game's window presents them.
//
//   kestro-floor PERIOD_MS
//
// At the end it prints "painted_pixels N seconds S": the pixels painted after the first whole
// picture and the seconds since then.

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QRegion>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kCols = 59;
constexpr int kRows = 47;
constexpr int kFrameMs = 16;

enum class Tile : std::uint8_t { empty, wall, ball, goal, block };

// The grid and the ball that moves over it.
class Grid {
  public:
    Grid() {
        for (int x = 0; x < kCols; ++x) {
            set(x, 0, Tile::wall);
            set(x, kRows - 1, Tile::wall);
        }
        for (int y = 0; y < kRows; ++y) {
            set(0, y, Tile::wall);
            set(kCols - 1, y, Tile::wall);
        }
        for (const auto [x, y] : {std::array{1, 1}, std::array{kCols - 2, 1},
                                  std::array{1, kRows - 2}, std::array{kCols - 2, kRows - 2}}) {
            set(x, y, Tile::goal);
        }
        for (int i = 0; i < 12; ++i) {
            set(7 + 4 * i, 9 + (i * 7) % 29, Tile::block);
        }
        set(ballX_, ballY_, Tile::ball);
    }

    Tile at(int x, int y) const { return cells_[static_cast<std::size_t>(x + kCols * y)]; }

    // Moves the ball one cell, turning where the next cell is not empty; adds the cells it left
    // and entered to changed.
    void step(QRegion& changed, const QSize& cell) {
        for (int turns = 0; turns < 4; ++turns) {
            const int nx = ballX_ + dx_;
            const int ny = ballY_ + dy_;
            if (at(nx, ny) == Tile::empty) {
                set(ballX_, ballY_, Tile::empty);
                changed += rectOf(ballX_, ballY_, cell);
                ballX_ = nx;
                ballY_ = ny;
                set(ballX_, ballY_, Tile::ball);
                changed += rectOf(ballX_, ballY_, cell);
                return;
            }
            if (at(ballX_ + dx_, ballY_) != Tile::empty) {
                dx_ = -dx_;
            } else {
                dy_ = -dy_;
            }
        }
    }

    // Puts the pointer's wall on the cell (x, y) when it is empty, lifting the one before.
    void pointTo(int x, int y, QRegion& changed, const QSize& cell) {
        if (x == wallX_ && y == wallY_) {
            return;
        }
        if (wallX_ >= 0) {
            set(wallX_, wallY_, Tile::empty);
            changed += rectOf(wallX_, wallY_, cell);
            wallX_ = -1;
        }
        if (x > 0 && y > 0 && x < kCols - 1 && y < kRows - 1 && at(x, y) == Tile::empty) {
            set(x, y, Tile::wall);
            changed += rectOf(x, y, cell);
            wallX_ = x;
            wallY_ = y;
        }
    }

    static QRect rectOf(int x, int y, const QSize& cell) {
        return {x * cell.width(), y * cell.height(), cell.width(), cell.height()};
    }

  private:
    void set(int x, int y, Tile t) { cells_[static_cast<std::size_t>(x + kCols * y)] = t; }

    std::array<Tile, kCols * kRows> cells_{};
    int ballX_ = kCols / 2;
    int ballY_ = kRows / 2;
    int dx_ = 1;
    int dy_ = 1;
    int wallX_ = -1;
    int wallY_ = -1;
};

QColor colourOf(Tile t) {
    switch (t) {
        case Tile::wall:
            return Qt::black;
        case Tile::ball:
            return QColor(0, 0, 255);
        case Tile::goal:
            return QColor(0, 255, 0);
        case Tile::block:
            return QColor(128, 128, 128);
        case Tile::empty:
            break;
    }
    return Qt::white;
}

class Playfield : public QWidget {
  public:
    explicit Playfield(int periodMs) : periodMs_(periodMs) {
        setFixedSize(kCols * 10, kRows * 11);  // 590 x 517, about the game's 582 x 525
        setMouseTracking(true);
        setAttribute(Qt::WA_OpaquePaintEvent);
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [this] { advance(); });
        timer_.start(periodMs_ < kFrameMs ? kFrameMs : periodMs_);
        clock_.start();
    }

    std::int64_t paintedPixels() const { return painted_; }
    double secondsSinceFirstPicture() const {
        return firstPicture_.isValid() ? static_cast<double>(firstPicture_.elapsed()) / 1000.0
                                       : 0.0;
    }

  protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter painter(this);
        const QSize cell = cellSize();
        for (int y = 0; y < kRows; ++y) {
            for (int x = 0; x < kCols; ++x) {
                const QRect r = Grid::rectOf(x, y, cell);
                if (event->region().intersects(r)) {
                    painter.fillRect(r, colourOf(grid_.at(x, y)));
                }
            }
        }
        if (!firstPicture_.isValid()) {
            firstPicture_.start();
            return;
        }
        for (const QRect& r : event->region()) {
            painted_ += static_cast<std::int64_t>(r.width()) * r.height();
        }
    }

    void mouseMoveEvent(QMouseEvent* event) override {
        const QSize cell = cellSize();
        const QPoint p = event->position().toPoint();
        QRegion changed;
        grid_.pointTo(p.x() / cell.width(), p.y() / cell.height(), changed, cell);
        if (!changed.isEmpty()) {
            update(changed);
        }
    }

  private:
    QSize cellSize() const { return {width() / kCols, height() / kRows}; }

    void advance() {
        const std::int64_t now = clock_.elapsed();
        QRegion changed;
        const QSize cell = cellSize();
        for (; due_ <= now; due_ += periodMs_) {
            grid_.step(changed, cell);
        }
        if (!changed.isEmpty()) {
            update(changed);
        }
    }

    Grid grid_;
    int periodMs_;
    QTimer timer_;
    QElapsedTimer clock_;
    QElapsedTimer firstPicture_;
    std::int64_t due_ = 0;
    std::int64_t painted_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int period = argc > 1 ? std::atoi(argv[1]) : 0;
    if (period < 1 || period > 10000) {
        std::fputs("usage: kestro-floor PERIOD_MS (1 to 10000)\n", stderr);
        return 2;
    }
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("floor"));
    window.menuBar()
        ->addMenu(QStringLiteral("&File"))
        ->addAction(QStringLiteral("&Quit"), &app, &QApplication::quit);
    window.menuBar()->addMenu(QStringLiteral("&Help"));

    QWidget central;
    QVBoxLayout column(&central);
    Playfield field(period);
    column.addWidget(&field);
    QGridLayout panel;
    QCheckBox paused(QStringLiteral("Paused"));
    QLabel score(QStringLiteral("0"));
    panel.addWidget(&paused, 0, 0);
    panel.addWidget(&score, 0, 2);
    std::array<QLabel, 3> names;
    std::array<QSlider, 3> sliders;
    const std::array<const char*, 3> captions{"Level", "Acceleration", "Speed"};
    for (std::size_t i = 0; i < sliders.size(); ++i) {
        names[i].setText(QString::fromLatin1(captions[i]));
        sliders[i].setOrientation(Qt::Horizontal);
        panel.addWidget(&names[i], static_cast<int>(i) + 1, 0);
        panel.addWidget(&sliders[i], static_cast<int>(i) + 1, 1);
    }
    QPushButton reset(QStringLiteral("Reset"));
    QPushButton apply(QStringLiteral("Apply"));
    panel.addWidget(&reset, 1, 2);
    panel.addWidget(&apply, 2, 2);
    column.addLayout(&panel);
    window.setCentralWidget(&central);
    window.resize(582, 681 + window.menuBar()->sizeHint().height());
    window.show();

    const int status = QApplication::exec();
    window.takeCentralWidget();
    std::printf("painted_pixels %lld seconds %.3f\n", static_cast<long long>(field.paintedPixels()),
                field.secondsSinceFirstPicture());
    return status;
}
