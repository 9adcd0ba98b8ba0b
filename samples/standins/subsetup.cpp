// Stand-in of a driver package's sub-setup.
int main() { return 0; }
