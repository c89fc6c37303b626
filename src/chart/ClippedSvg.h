#pragma once

#include <QSvgGenerator>

#include <memory>

class QIODevice;

// An SVG picture as QSvgGenerator writes it, with two things that one
// leaves out. Its painter's clip reaches the file: the generator draws
// everything whole, so a zoomed chart's lines ran out of the plot to the
// picture's edge; here each run of drawing under one clip rectangle is a
// group clipped to it. And every text names the font family it was laid
// out with rather than the one asked for: the charts ask for "MS Sans
// Serif" and "Arial", which the system draws as Liberation Sans, and a
// viewer given the asked-for names lays them out in a font of other
// widths, so words ran into each other.
class ClippedSvg final : public QSvgGenerator {
public:
    // Writes to `output` once painting ends.
    ClippedSvg(QIODevice& output, QSize size, int dotsPerInch);
    ~ClippedSvg() override;

    // The family the system draws the font in.
    static QString FamilyDrawn(const QFont& font);

protected:
    QPaintEngine* paintEngine() const override;

private:
    class Engine;
    std::unique_ptr<Engine> engine_;
};
