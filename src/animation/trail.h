// The angles of the black figures on the surface since it was last cleared:
// what a front end needs, with the current figure, to draw the picture anew
// at another size. Figures whose angles lie within a ten-thousandth of a turn
// or so of one another (a small fraction of a pixel apart at any density) are
// kept once, so a run of any length keeps a few thousand angles at most.
#pragma once

#include <bitset>
#include <span>
#include <vector>

class Trail {
public:
    // The first angle of each share of a turn is kept.
    static constexpr int shares = 8192;

    void add(double angle);
    void clear();
    std::span<const double> angles() const { return angles_; }
    bool empty() const { return angles_.empty(); }

private:
    std::vector<double> angles_;
    std::bitset<shares> taken_;
};
