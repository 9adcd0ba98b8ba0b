// Stand-in of the 64-bit registration program "qxregsvr64.exe".
int main() { return 0; }
