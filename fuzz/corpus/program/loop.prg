:top
FORWARD
SEARCHE,300(0,60),shoot
>top
:shoot
FIRE,300(0,60)
>top
