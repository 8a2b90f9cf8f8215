// layer_check.cpp -- an empty program that one layer's library is linked into whole, with
// only the layers below it: it builds only if the layer calls nothing above itself.
// mutate: off (the mutation run builds no layer check)
int main() {
  return 0;
}
