// Entry point of the widget gallery.
#include "gallery.hpp"

int main() { return gallery::run(); }
