// The black figures on the surface since it was last cleared, as their
// angles in the order they were last drawn: what a front end needs, with the
// current figure, to draw the picture anew at another size. Figures whose
// angles lie within an 8192nd of a turn of one another (a small fraction of a
// pixel apart at any density) are kept once, as the latest of them, so a run
// of any length keeps a few thousand angles at most.
#pragma once

#include <cstdint>
#include <vector>

class Trail {
public:
    static constexpr int shares = 8192;

    void add(double angle);
    void clear();
    bool empty() const { return kept_ == 0; }
    std::size_t size() const { return kept_; }
    // Oldest first.
    std::vector<double> angles() const;

private:
    struct Share {
        std::uint64_t last = 0;  // when it was last added, from 1; 0: never
        double angle = 0;
    };
    std::vector<Share> shares_;  // made at the first addition
    std::uint64_t added_ = 0;
    std::size_t kept_ = 0;
};
