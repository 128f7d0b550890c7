#include <iostream>

int main() {
  std::cout << "tovira-sim\n";
  return 0;
}
