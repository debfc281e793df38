// Runs the application: the toolkit and window calls are left for the stand-ins to resolve.
#include "app/application.h"

int main() { return trenmoor::app::runApplication(); }
