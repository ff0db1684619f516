# スナイパー：じっと構えて遠くの敵を狙い撃つ
STOP
:scan
SEARCHB,80(0,360),duck
SEARCHE,400(0,90),shoot
TURNLEFT
>scan
:duck
PRONE
>scan
:shoot
FIRE,400(0,90)
>scan
