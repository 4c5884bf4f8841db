/* Carries a version resource and does nothing else. */
int main(void) { return 0; }
