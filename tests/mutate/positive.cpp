// positive.cpp -- the mutation tool's fixture: a function and the program that tests it. Its
// three mutants: "> 0" made ">= 0" survives (no test tries 0), "> 1" is set aside in
// equivalent.txt, and the value returned replaced is caught; main is switched off.
#include <cstdlib>

bool positive(int v) {
  return static_cast<long>(v) > 0;
}

// mutate: off
int main() {
  return positive(5) && !positive(-5) ? EXIT_SUCCESS : EXIT_FAILURE;
}
// mutate: on
