#include "catalogue.h"

namespace catalogue {

double Scatter::next() {
  state_ = state_ * 1664525u + 1013904223u;
  return (state_ >> 8) / 16777216.0;
}

int Scatter::pick(int low, int high) { return low + static_cast<int>(next() * (high - low + 1)); }

std::vector<ShippedMovie> allMovies() {
  std::vector<ShippedMovie> all;
  for (auto make : {effectMovies, cartoonMovies, clockMovies, lifeMovies, otherMovies})
    for (ShippedMovie& movie : make()) all.push_back(std::move(movie));
  return all;
}

}  // namespace catalogue
