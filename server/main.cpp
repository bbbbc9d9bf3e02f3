#include <cstdio>

int main()
{
    std::puts("vorlan-server: the game server of The Vorlane");
    return 0;
}
