# ハンター：敵を見つけ次第撃ち、いなければ巡回する
:top
SEARCHE,250(0,360),shoot
COND,W>=1,cool
GETINFO,X=X
GETINFO,Y=Y
COND,X>=12000,bounce
COND,X<=-12000,bounce
COND,Y>=12000,bounce
COND,Y<=-12000,bounce
SEARCHO,20(0,60),bounce
>go
:cool
VAR,W-1
:go
COND,M==1,back
FORWARD
>top
:back
BACKWARD
>top
# 壁際では向きを変えずに後戻りする
:bounce
VAR,M+1
VAR,M%2
VAR,W=40
>top
:shoot
REMAIN,<=0,ram
FIRE,250(0,360)
>top
# 弾切れなら体当たり
:ram
FIGHT
FORWARD
>top
