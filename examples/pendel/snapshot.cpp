// Pictures of Pendel in scripted sessions: pendel-snapshot <out.png> [script | -].
#include "pendel.hpp"
#include "surface/snapshot.hpp"

int main(int argc, char** argv) { return snapshot::tool_main(argc, argv, pendel::run); }
