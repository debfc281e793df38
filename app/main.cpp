#include "app/application.h"

int main() { return trenmoor::app::runApplication(); }
